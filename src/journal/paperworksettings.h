#pragma once
// What the paperwork needs that is not in the journal: the organisation and the commission
// printed on a knowledge-check protocol, and how often each profile's check is repeated.
// Kept in protocol.ini in the program folder (UTF-8), not in the journal, so that a new
// journal file or a server keeps them:
//
//   [protocol]
//   organisation=АО «Северная энергосеть»
//   order=Приказ № 15 от 10.01.2024
//   chair\name=Петров П.П.
//   chair\jobTitle=главный инженер
//   members\size=2
//   members\1\name=…
//   members\1\jobTitle=…
//   [recheck]
//   profile3=6            ; months; a profile not named here is checked every 12 months

#include "journal/journalentry.h"

#include <QList>
#include <QMap>
#include <QString>

namespace zet {

struct CommissionMember {
    QString fullName;
    QString jobTitle;

    bool operator==(const CommissionMember&) const = default;
};

struct ProtocolSettings {
    QString organisation;
    QString order; // the order that formed the commission, as it is to be printed
    CommissionMember chair;
    QList<CommissionMember> members;

    bool operator==(const ProtocolSettings&) const = default;
};

// Re-check periods in months by profile number.
struct RecheckPeriods {
    static constexpr int kDefaultMonths = 12;
    static constexpr int kMaxMonths = 120;

    QMap<int, int> months; // only profiles with a period other than the default need a row

    int monthsFor(int profileNo) const { return months.value(profileNo, kDefaultMonths); }
    bool operator==(const RecheckPeriods&) const = default;
};

// protocol.ini in a program folder.
class PaperworkSettings {
public:
    static QString fileName() { return QStringLiteral("protocol.ini"); }

    explicit PaperworkSettings(const QString& folder);
    QString path() const;

    // A missing file gives empty settings; a file that cannot be read is an error.
    JournalResult readProtocol(ProtocolSettings& settings) const;
    JournalResult writeProtocol(const ProtocolSettings& settings) const;
    // A period outside 1 .. kMaxMonths months in the file is ignored (the default holds).
    JournalResult readPeriods(RecheckPeriods& periods) const;
    // A period outside 1 .. kMaxMonths months is refused, and nothing is written.
    JournalResult writePeriods(const RecheckPeriods& periods) const;

private:
    QString m_folder;
};

} // namespace zet
