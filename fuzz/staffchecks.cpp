// Properties of the staff list reader for any bytes: a refused file gives a message and no
// people, a read one gives people with a personnel number and a name each, no number twice,
// and the people written out again as CSV read back the same.

#include "fuzzchecks.h"

#include "staff/stafffile.h"
#include "staff/staffxlsx.h"

#include <QSet>

namespace zet::fuzz {

namespace {

QString csvField(const QString& text) {
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QByteArray asCsv(const QList<StaffRecord>& records) {
    QString text = QStringLiteral("Табельный номер;ФИО;Должность;Подразделение;Дата рождения;Дата приёма\r\n");
    for (const StaffRecord& r : records) {
        const QStringList fields = {r.personnelNo, r.fullName, r.jobTitle, r.department,
                                    r.birthDate.toString(QStringLiteral("dd.MM.yyyy")),
                                    r.hireDate.toString(QStringLiteral("dd.MM.yyyy"))};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << csvField(f);
        text += quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool keepsUtf8(const StaffRecord& r) {
    for (const QString* s : {&r.personnelNo, &r.fullName, &r.jobTitle, &r.department})
        if (QString::fromUtf8(s->toUtf8()) != *s)
            return false;
    return true;
}

} // namespace

QString checkStaffBytes(QByteArrayView data, const QString& /*workFolder*/) {
    StaffFile file;
    QString error;
    if (!parseStaffBytes(data, file, error, parseStaffXlsx)) {
        if (error.isEmpty())
            return QStringLiteral("a refused file gave no message");
        if (!file.records.isEmpty() || !file.skipped.isEmpty())
            return QStringLiteral("a refused file gave people or skipped lines");
        return QString();
    }
    QSet<QString> numbers;
    QSet<int> lines;
    bool roundTrip = true;
    for (const StaffRecord& r : file.records) {
        if (r.personnelNo.isEmpty() || r.fullName.isEmpty())
            return QStringLiteral("line %1 gave a person without a number or a name").arg(r.line);
        if (r.personnelNo != r.personnelNo.simplified() || r.fullName != r.fullName.simplified())
            return QStringLiteral("line %1 gave a number or a name with stray blanks").arg(r.line);
        if (numbers.contains(r.personnelNo))
            return QStringLiteral("personnel number %1 given twice").arg(r.personnelNo);
        numbers.insert(r.personnelNo);
        lines.insert(r.line);
        roundTrip = roundTrip && keepsUtf8(r);
    }
    for (const StaffSkip& s : file.skipped) {
        if (s.reason.isEmpty())
            return QStringLiteral("line %1 skipped without a reason").arg(s.line);
        lines.insert(s.line);
    }
    if (lines.size() != file.records.size() + file.skipped.size() || lines.contains(0))
        return QStringLiteral("lines of people and skipped lines are not distinct and counted from 1");
    if (!roundTrip)
        return QString();
    StaffFile again;
    if (!parseStaffBytes(asCsv(file.records), again, error, parseStaffXlsx))
        return QStringLiteral("the people written as CSV were refused: ") + error;
    if (!again.skipped.isEmpty() || again.records.size() != file.records.size())
        return QStringLiteral("the people written as CSV read back as %1 people and %2 skipped lines")
            .arg(again.records.size())
            .arg(again.skipped.size());
    for (qsizetype i = 0; i < again.records.size(); ++i) {
        StaffRecord expected = file.records[i];
        expected.line = static_cast<int>(i) + 2;
        if (!(again.records[i] == expected))
            return QStringLiteral("line %1 read back differently from CSV").arg(file.records[i].line);
    }
    return QString();
}

} // namespace zet::fuzz
