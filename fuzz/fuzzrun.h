#pragma once
// The body every fuzz target shares: run one check on the input in a private folder and
// stop the fuzzer with the check's message when a property failed.

#include "fuzzchecks.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace zet::fuzz {

inline int run(Check check, const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(folder.errorString()));
        std::abort();
    }
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString failure = check(input, folder.path() + QLatin1Char('/'));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "property failed: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}

// The same for a check that needs no folder: the input is checked in memory only.
inline int runInMemory(Check check, const std::uint8_t* data, std::size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString failure = check(input, QString());
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "property failed: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}

} // namespace zet::fuzz
