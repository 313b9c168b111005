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
//   programme\3=Программа обучения по охране труда № 2   ; printed for profile 3
//   [recheck]
//   profile3=6            ; months; a profile not named here is checked every 12 months
//   failed3=14            ; days to the re-check after a failed exam; 30 unless named

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
    QMap<int, QString> programmes; // «Программа обучения» by profile number; only those that are set

    // The training programme printed for a profile: its own, else the profile's name.
    QString programmeFor(int profileNo, const QString& profileName) const {
        const QString own = programmes.value(profileNo).trimmed();
        return own.isEmpty() ? profileName : own;
    }

    bool operator==(const ProtocolSettings&) const = default;
};

// Re-check periods by profile number: months after a pass, days after a fail.
struct RecheckPeriods {
    static constexpr int kDefaultMonths = 12;
    static constexpr int kMaxMonths = 120;
    static constexpr int kDefaultFailedDays = 30;
    static constexpr int kMaxFailedDays = 365;

    QMap<int, int> months;     // only profiles with a period other than the default need a row
    QMap<int, int> failedDays; // the same for the re-check after a fail

    int monthsFor(int profileNo) const { return months.value(profileNo, kDefaultMonths); }
    int failedDaysFor(int profileNo) const { return failedDays.value(profileNo, kDefaultFailedDays); }
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
    // A period outside 1 .. kMaxMonths months (1 .. kMaxFailedDays days after a fail) in the
    // file is ignored (the default holds).
    JournalResult readPeriods(RecheckPeriods& periods) const;
    // A period outside those bounds is refused, and nothing is written.
    JournalResult writePeriods(const RecheckPeriods& periods) const;

private:
    QString m_folder;
};

} // namespace zet
