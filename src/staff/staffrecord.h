#pragma once
// One person of the staff list as the HR department exports it, and what reading such an
// export gives: the people found and the lines left out with the reason.

#include <QDate>
#include <QList>
#include <QString>

namespace zet {

struct StaffRecord {
    QString personnelNo; // «Табельный номер»: the key of a person across imports
    QString fullName;    // «ФИО», or «Фамилия» «Имя» «Отчество» joined by one blank
    QString jobTitle;    // «Должность»
    QString department;  // «Подразделение»
    QDate birthDate;     // «Дата рождения»; invalid when the list has none
    QDate hireDate;      // «Дата приёма»; invalid when the list has none
    int line = 0;        // the line (CSV) or row (.xlsx) of the file, counted from 1

    bool operator==(const StaffRecord&) const = default;
};

struct StaffSkip {
    int line = 0;   // as in StaffRecord::line
    QString reason; // Russian, for the import report

    bool operator==(const StaffSkip&) const = default;
};

struct StaffFile {
    QList<StaffRecord> records;
    QList<StaffSkip> skipped;
};

} // namespace zet
