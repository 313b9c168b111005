#include "fuzzchecks.h"

#include "archive/dayfile.h"
#include "archive/dayview.h"
#include "exam/dayregister.h"
#include "model/cp1251.h"
#include "model/database.h"
#include "model/textvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

#include <cmath>
#include <cstring>
#include <limits>

namespace zet::fuzz {

namespace {

constexpr qsizetype kRecordSize = 500;
constexpr qsizetype kMaxStringBytes = kRecordSize - 2;
constexpr qint64 kShortestDatabase = 12769 * kRecordSize + 2;
constexpr qint64 kLongestDatabase = 12770 * kRecordSize;
constexpr qsizetype kSettingsRecord = 256;
constexpr int kDayFileLines = 1300;

bool writeBytes(const QString& path, QByteArrayView bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes.data(), bytes.size()) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString where(int t, int q, int p) {
    return QStringLiteral("theme %1, question %2, part %3").arg(t).arg(q).arg(p);
}

// First difference between the values two models keep in a database file, or nothing.
QString compareStored(const Database& a, const Database& b) {
    for (int i = 0; i < 10; ++i) {
        if (a.databaseHeader[i] != b.databaseHeader[i])
            return QStringLiteral("header %1 differs").arg(i);
    }
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                if (a.questions(t, q, p) != b.questions(t, q, p))
                    return where(t, q, p) + QStringLiteral(" differs");
            }
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        if (!(a.profiles[i] == b.profiles[i]))
            return QStringLiteral("profile %1 differs").arg(i);
    }
    return {};
}

// Every string value of a loaded model fits its record.
QString checkStringLengths(const Database& db) {
    auto tooLong = [](const QString& s) { return encodeCp1251(s).bytes.size() > kMaxStringBytes; };
    for (int i = 0; i < 10; ++i) {
        if (tooLong(db.databaseHeader[i]))
            return QStringLiteral("header %1 is longer than a record holds").arg(i);
    }
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                if (tooLong(db.questions(t, q, p)))
                    return where(t, q, p) + QStringLiteral(" is longer than a record holds");
            }
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        const ExamProfile& pr = db.profiles[i];
        if (tooLong(pr.name))
            return QStringLiteral("name of profile %1 is longer than a record holds").arg(i);
        for (int k = 0; k < kGroupCount; ++k) {
            if (tooLong(pr.groups[k]))
                return QStringLiteral("group %1 of profile %2 is longer than a record holds").arg(k).arg(i);
        }
    }
    return {};
}

QString slotDifference(const DayRegisterArray& a, const DayRegisterArray& b) {
    for (int n = 0; n <= kRegisterSlots; ++n) {
        if (!(a[n] == b[n]))
            return QStringLiteral("slot %1 differs").arg(n);
    }
    return {};
}

bool hasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

QString textFromFuzzBytes(QByteArrayView data) {
    if (data.isEmpty())
        return {};
    const QByteArrayView rest = data.sliced(1);
    switch (static_cast<unsigned char>(data.front()) % 3) {
    case 0:
        return QString::fromUtf8(rest);
    case 1:
        return QString::fromLatin1(rest);
    default: {
        QString s(rest.size() / 2, Qt::Uninitialized);
        std::memcpy(s.data(), rest.data(), static_cast<std::size_t>(s.size()) * 2);
        return s;
    }
    }
}

bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

QString checkDatabaseBytes(QByteArrayView data, const QString& /*workFolder*/) {
    // The models and the file images are kept from run to run: a fuzzer runs this thousands
    // of times, and fresh megabytes for each run would take most of its time.
    static Database db, before, reloaded;
    static QByteArray saved, savedAgain;
    db.newDatabase();
    db.questions(0, 1, 1) = QStringLiteral("theme 0 is never read");
    db.databasePath = QStringLiteral("in.zet");
    before = db;
    const bool loaded = db.loadFromBytes(data);

    if (db.databasePath != before.databasePath)
        return QStringLiteral("loading changed the database path");
    if (db.questions(0, 1, 1) != before.questions(0, 1, 1))
        return QStringLiteral("loading changed theme 0");
    const bool foreign = isForeignDatabaseBytes(data);
    if (!loaded) {
        if (db.databaseHeader[1] == kVersionMarker)
            return QStringLiteral("a file with the version marker was rejected");
        if (foreign != !data.isEmpty())
            return QStringLiteral("isForeignDatabaseBytes disagrees with a rejected load");
        static Database expected;
        expected = before;
        expected.databaseHeader[0] = db.databaseHeader[0];
        expected.databaseHeader[1] = db.databaseHeader[1];
        const QString diff = compareStored(expected, db);
        if (!diff.isEmpty())
            return QStringLiteral("a rejected load changed the model: ") + diff;
        return {};
    }

    if (db.databaseHeader[1] != kVersionMarker)
        return QStringLiteral("a file without the version marker was accepted");
    if (foreign)
        return QStringLiteral("isForeignDatabaseBytes calls an accepted database foreign");
    QString problem = checkStringLengths(db);
    if (!problem.isEmpty())
        return problem;

    // What was loaded saves without loss and loads back to the same model ...
    std::vector<StoredValueIssue> issues;
    db.writeFileBytes(saved, &issues);
    if (!issues.empty())
        return QStringLiteral("saving a loaded database changed a value (record %1)")
            .arg(issues.front().record);
    if (saved.size() < kShortestDatabase || saved.size() > kLongestDatabase)
        return QStringLiteral("a saved database is %1 bytes long").arg(saved.size());

    reloaded.newDatabase();
    if (!reloaded.loadFromBytes(saved))
        return QStringLiteral("a saved database was rejected");
    problem = compareStored(db, reloaded);
    if (!problem.isEmpty())
        return QStringLiteral("save and load changed the model: ") + problem;

    // ... and saving that again gives the same bytes.
    reloaded.writeFileBytes(savedAgain);
    if (savedAgain != saved)
        return QStringLiteral("two saves of the same model differ");
    return {};
}

QString checkDayFileBytes(QByteArrayView data, const QString& workFolder) {
    const QByteArray bytes = data.toByteArray();
    DayRegisterArray reg{};
    reg[0].fullName = QStringLiteral("slot 0 is not part of the file");
    const ExamineeRecord slot0 = reg[0];
    parseDayFile(bytes, reg);
    if (!(reg[0] == slot0))
        return QStringLiteral("reading changed slot 0");
    for (int n = 1; n <= kRegisterSlots; ++n) {
        const ExamineeRecord& r = reg[n];
        if (hasLineBreak(r.profileName) || hasLineBreak(r.fullName) || hasLineBreak(r.jobTitle) ||
            hasLineBreak(r.personnelNo))
            return QStringLiteral("a text of slot %1 holds a line break").arg(n);
    }

    // The register writes as exactly 1300 lines, each ended by CR LF ...
    const QByteArray formatted = formatDayFile(reg);
    if (formatted.count("\r\n") != kDayFileLines || formatted.count('\r') != kDayFileLines ||
        formatted.count('\n') != kDayFileLines || !formatted.endsWith("\r\n"))
        return QStringLiteral("a written day file is not 1300 lines ended by CR LF");

    // ... which read back to the same register.
    DayRegisterArray back{};
    back[0] = slot0;
    parseDayFile(formatted, back);
    QString diff = slotDifference(reg, back);
    if (!diff.isEmpty())
        return QStringLiteral("write and read changed the register: ") + diff;

    // The same through the files of an archive (the corpus test; the fuzzer stays in memory).
    if (workFolder.isEmpty())
        return {};
    DayArchive archive;
    archive.monthFolder = workFolder + QStringLiteral("month");
    archive.dayFileName = QStringLiteral("day.txt");
    if (!QDir().mkpath(archive.monthFolder) || !writeBytes(archive.dayFilePath(), data))
        return QStringLiteral("cannot write the input file");
    DayRegisterArray fromFile{};
    fromFile[0] = slot0;
    const DayFileResult read = archive.readDayFile(fromFile);
    if (!read.ok)
        return QStringLiteral("reading an existing day file failed: ") + read.error;
    diff = slotDifference(reg, fromFile);
    if (!diff.isEmpty())
        return QStringLiteral("ReadDayFile and ParseDayFile disagree: ") + diff;
    const DayFileResult written = archive.writeDayFile(fromFile);
    if (!written.ok)
        return QStringLiteral("writing the day file failed: ") + written.error;
    if (readBytes(archive.dayFilePath()) != formatted)
        return QStringLiteral("WriteDayFile and FormatDayFile disagree");
    return {};
}

QString checkSettingsBytes(QByteArrayView data, const QString& /*workFolder*/) {
    const QString path = databasePathFromSettingsBytes(data);
    if (data.size() < 2 && !path.isEmpty())
        return QStringLiteral("a settings file without a length gave a path");
    const QByteArray encoded = encodeCp1251(path).bytes;
    if (encoded.size() > kSettingsRecord - 2)
        return QStringLiteral("the path read is longer than the record holds");
    // The path is the bytes behind the length, as many as the length says and the record holds.
    if (data.size() >= 2) {
        const qsizetype stated = qFromLittleEndian<quint16>(data.data());
        const qsizetype room = std::min(data.size(), kSettingsRecord) - 2;
        if (encoded.size() != std::min(stated, room) || !data.sliced(2).startsWith(encoded))
            return QStringLiteral("the path read is not the bytes stored behind the length");
    }

    // Whatever was read is written back into the same leading bytes and reads back the same.
    QByteArray record;
    const SettingsResult saved = settingsBytes(path, &record);
    if (!saved.ok)
        return QStringLiteral("saving a path that was read failed: ") + saved.error;
    if (record.size() != kSettingsRecord)
        return QStringLiteral("a saved settings file is %1 bytes long").arg(record.size());
    if (qFromLittleEndian<quint16>(record.constData()) != encoded.size() ||
        !record.sliced(2).startsWith(encoded))
        return QStringLiteral("the saved record does not hold the path");
    if (databasePathFromSettingsBytes(record) != path)
        return QStringLiteral("save and load changed the path");
    return {};
}

QString checkDayViewBytes(QByteArrayView data, const QString& workFolder) {
    const QStringList lines = dayViewLines(data);
    if (lines.size() > kDayViewLineLimit)
        return QStringLiteral("more than %1 lines shown").arg(kDayViewLineLimit);
    const QString endMarker = dayFileEndMarker();
    const QByteArray endMarkerBytes = encodeCp1251(endMarker).bytes;

    // The lines are the file's own lines, in order, from its start.
    qsizetype pos = 0;
    for (const QString& line : lines) {
        if (line == endMarker)
            return QStringLiteral("the end marker was shown");
        if (hasLineBreak(line))
            return QStringLiteral("a shown line holds a line break");
        const QByteArrayView rest = data.sliced(pos);
        const qsizetype length =
            std::find_if(rest.begin(), rest.end(), [](char c) { return c == '\r' || c == '\n'; }) - rest.begin();
        if (length > kDayViewLineWidth) {
            // A long line shows its beginning and a note after it.
            if (line.size() <= kDayViewLineWidth ||
                !line.startsWith(decodeCp1251(rest.first(kDayViewLineWidth))))
                return QStringLiteral("a long line is not shown cut at byte %1").arg(pos);
            pos += length;
        } else {
            const QByteArray bytes = encodeCp1251(line).bytes;
            if (!rest.startsWith(bytes))
                return QStringLiteral("a shown line is not the file's line at byte %1").arg(pos);
            pos += bytes.size();
        }
        const bool lineEnd = pos < data.size() && (data[pos] == '\r' || data[pos] == '\n');
        if (!lineEnd && pos < data.size())
            return QStringLiteral("a shown line stops before its end at byte %1").arg(pos);
        if (pos < data.size() && data[pos] == '\r')
            ++pos;
        if (pos < data.size() && data[pos] == '\n')
            ++pos;
    }
    // Reading stops only at the end of the bytes, at the line limit or before the end marker.
    if (pos < data.size() && lines.size() < kDayViewLineLimit) {
        const QByteArrayView next = data.sliced(pos);
        const bool marker = next.startsWith(endMarkerBytes) &&
                            (next.size() == endMarkerBytes.size() || next[endMarkerBytes.size()] == '\r' ||
                             next[endMarkerBytes.size()] == '\n');
        if (!marker)
            return QStringLiteral("reading stopped early at byte %1").arg(pos);
    }

    QString expectedText;
    for (const QString& line : lines)
        expectedText += line + QLatin1Char('\n');
    if (dayViewText(lines) != expectedText)
        return QStringLiteral("the box text is not every line followed by a line end");

    // The same through a file (the corpus test; the fuzzer stays in memory).
    if (workFolder.isEmpty())
        return {};
    const QString path = workFolder + QStringLiteral("view.txt");
    if (!writeBytes(path, data))
        return QStringLiteral("cannot write the input file");
    const DayView view = loadDayView(path);
    if (view.status != DayView::Shown)
        return QStringLiteral("an existing day file was not shown: ") + view.error;
    if (view.lines != lines)
        return QStringLiteral("LoadDayView and DayViewLines disagree");
    return {};
}

QString checkTextValueBytes(QByteArrayView data) {
    const QString text = textFromFuzzBytes(data);
    const double v = numericValue(text);
    if (std::isnan(v))
        return QStringLiteral("the value is not a number");

    // A character that cannot continue a number does not change the value, nor do blanks.
    if (!sameValue(numericValue(text + QLatin1Char('z')), v))
        return QStringLiteral("a trailing letter changed the value");
    QString blanks = text;
    blanks.insert(blanks.size() / 2, QStringLiteral(" \t"));
    blanks.prepend(QLatin1Char('\n'));
    if (!sameValue(numericValue(blanks), v))
        return QStringLiteral("blanks changed the value");

    const double down = valueFloor(text);
    const double nearest = valueRounded(text);
    // From 2^52 on every double is a whole number, so both roundings must keep it.
    constexpr double whole = 4503599627370496.0;
    if (std::fabs(v) >= whole) {
        if (down != v || nearest != v)
            return QStringLiteral("rounding changed the whole number %1").arg(v);
    } else {
        if (down != std::floor(down) || !(down <= v && v < down + 1))
            return QStringLiteral("rounding down gave %1 for %2").arg(down).arg(v);
        if (nearest != std::floor(nearest) || std::fabs(nearest - v) > 0.5)
            return QStringLiteral("rounding gave %1 for %2").arg(nearest).arg(v);
    }

    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    const std::optional<std::int16_t> floor16 = int16Floor(text);
    const std::optional<std::int16_t> round16 = int16Rounded(text);
    if (floor16.has_value() != (down >= lo && down <= hi))
        return QStringLiteral("Int16Floor range decision wrong for %1").arg(down);
    if (floor16 && *floor16 != down)
        return QStringLiteral("Int16Floor gave %1 for %2").arg(*floor16).arg(down);
    if (round16.has_value() != (nearest >= lo && nearest <= hi))
        return QStringLiteral("Int16Rounded range decision wrong for %1").arg(nearest);
    if (round16 && *round16 != nearest)
        return QStringLiteral("Int16Rounded gave %1 for %2").arg(*round16).arg(nearest);

    // Numbers written by the program read back as themselves.
    if (data.size() >= 2) {
        const int n = static_cast<std::int16_t>(static_cast<unsigned char>(data[0]) |
                                                (static_cast<unsigned char>(data[1]) << 8));
        if (numericValue(numberText(n)) != n || numericValue(signedNumberText(n)) != n)
            return QStringLiteral("the text of %1 does not read back").arg(n);
    }
    return {};
}

Check checkFor(const QString& target) {
    if (target == QLatin1String("database"))
        return checkDatabaseBytes;
    if (target == QLatin1String("dayfile"))
        return checkDayFileBytes;
    if (target == QLatin1String("settings"))
        return checkSettingsBytes;
    if (target == QLatin1String("dayview"))
        return checkDayViewBytes;
    if (target == QLatin1String("textvalue"))
        return [](QByteArrayView data, const QString&) { return checkTextValueBytes(data); };
    if (target == QLatin1String("gift"))
        return checkGiftBytes;
    if (target == QLatin1String("aiken"))
        return checkAikenBytes;
    if (target == QLatin1String("moodlexml"))
        return checkMoodleXmlBytes;
    if (target == QLatin1String("staff"))
        return checkStaffBytes;
    return nullptr;
}

} // namespace zet::fuzz
