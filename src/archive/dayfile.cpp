#include "archive/dayfile.h"

#include "archive/monthnames.h"

#include "model/cp1251.h"
#include "model/regularfile.h"
#include "model/savefile.h"
#include "model/textvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zet {

const QStringList& DayFileLabels() {
    static const QStringList labels = {
        QStringLiteral("Порядковый номер: "),
        QStringLiteral("Номер профиля: "),
        QStringLiteral("Название теста: "),
        QStringLiteral("Ф.И.О.: "),
        QStringLiteral("Год рождения: "),
        QStringLiteral("Профессия: "),
        QStringLiteral("Стаж работы: "),
        QStringLiteral("Оценка за экзамен: "),
        QStringLiteral("Количество заданных вопросов: "),
        QStringLiteral("Количество правильных ответов: "),
        QStringLiteral("Время затраченое на экзамен, сек.: "),
        QStringLiteral("Табельный номер: "),
    };
    return labels;
}

QString DayFileSeparator() {
    return QString(58, QLatin1Char('*'));
}

QString DayFileEndMarker() {
    return DayFileLabels().at(0) + QStringLiteral(" 0");
}

QString MonthFolderFor(const QString& programFolder, const QDate& date) {
    return programFolder + QString::number(date.year()) + QDir::separator() + MonthNominative(date.month());
}

QString DayFileNameFor(const QDate& date) {
    return DateText(date) + QStringLiteral(".txt");
}

QString DayFilePathFor(const QString& programFolder, const QDate& date) {
    return MonthFolderFor(programFolder, date) + QDir::separator() + DayFileNameFor(date);
}

namespace {

constexpr int kFieldLines = 12;
constexpr int kRecordLines = kFieldLines + 1;

enum FieldKind { Number, Text };
constexpr FieldKind kKinds[kFieldLines] = {Number, Number, Text,   Text,   Number, Text,
                                           Number, Number, Number, Number, Number, Text};

// A value that holds a line break would split its record; each CR LF pair and each lone
// CR or LF becomes one blank.
QString OneLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

QStringList RecordValues(const ExamineeRecord& r) {
    return {SignedNumberText(r.ProtocolNo), SignedNumberText(r.ProfileNo),
            OneLine(r.ProfileName),         OneLine(r.FullName),
            SignedNumberText(r.BirthYear),  OneLine(r.JobTitle),
            SignedNumberText(r.Seniority),  SignedNumberText(r.Grade),
            SignedNumberText(r.AskedCount), SignedNumberText(r.RightCount),
            SignedNumberText(r.TimeSpent),  OneLine(r.PersonnelNo)};
}

void StoreField(ExamineeRecord& r, int line, const QString& value) {
    if (kKinds[line] == Text) {
        switch (line) {
        case 2:
            r.ProfileName = value;
            break;
        case 3:
            r.FullName = value;
            break;
        case 5:
            r.JobTitle = value;
            break;
        default:
            r.PersonnelNo = value;
            break;
        }
        return;
    }
    // A number that does not fit sixteen bits reads as 0 rather than wrapping round.
    const int16 number = Int16Rounded(value).value_or(0);
    switch (line) {
    case 0:
        r.ProtocolNo = number;
        break;
    case 1:
        r.ProfileNo = number;
        break;
    case 4:
        r.BirthYear = number;
        break;
    case 6:
        r.Seniority = number;
        break;
    case 7:
        r.Grade = number;
        break;
    case 8:
        r.AskedCount = number;
        break;
    case 9:
        r.RightCount = number;
        break;
    default:
        r.TimeSpent = number;
        break;
    }
}

// Lines end in CR LF; a lone CR or LF is taken as a line end as well. A final line end
// does not start another line.
QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QByteArray FormatDayFile(const DayRegisterArray& reg) {
    const QStringList& labels = DayFileLabels();
    const QString separator = DayFileSeparator();
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    text.reserve(kRegisterSlots * 400);
    for (int n = 1; n <= kRegisterSlots; ++n) {
        const QStringList values = RecordValues(reg[n]);
        for (int k = 0; k < kFieldLines; ++k)
            text += labels.at(k) + values.at(k) + crlf;
        text += separator + crlf;
    }
    return EncodeCp1251(text).bytes;
}

void ParseDayFile(const QByteArray& bytes, DayRegisterArray& reg) {
    const QStringList& labels = DayFileLabels();
    const QStringList lines = SplitLines(DecodeCp1251(bytes));
    for (int n = 1; n <= kRegisterSlots; ++n) {
        ExamineeRecord record;
        const qsizetype first = static_cast<qsizetype>(n - 1) * kRecordLines;
        // A record is taken only when all its field lines are there; the separator is not needed.
        if (first + kFieldLines <= lines.size()) {
            for (int k = 0; k < kFieldLines; ++k)
                StoreField(record, k, lines.at(first + k).mid(labels.at(k).size()));
        }
        reg[n] = record;
    }
}

QString DayArchive::DayFilePath() const {
    return MonthFolder + QDir::separator() + DayFileName;
}

DayFileResult DayArchive::WriteDayFile(const DayRegisterArray& reg) const {
    if (MonthFolder.isEmpty() || DayFileName.isEmpty())
        return {false, QStringLiteral("Папка архива результатов не подготовлена.")};
    // A month folder removed while the program runs is made again; the write itself reports
    // whatever still stands in the way.
    if (!QFileInfo(MonthFolder).exists())
        QDir().mkpath(MonthFolder);
    QString error;
    if (!WriteFileAtomically(DayFilePath(), FormatDayFile(reg), &error))
        return {false, error};
    return {};
}

DayFileResult DayArchive::ReadDayFile(DayRegisterArray& reg) const {
    const QString path = DayFilePath();
    QFile file(path);
    QString error;
    if (!OpenRegularFile(file, &error))
        return {false, error};
    const QByteArray bytes = file.readAll();
    const bool failed = file.error() != QFileDevice::NoError;
    const QString reason = file.errorString();
    file.close();
    ParseDayFile(bytes, reg);
    if (failed) {
        return {
            false,
            QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(QDir::toNativeSeparators(path), reason)};
    }
    return {};
}

DayFileResult DayArchive::Prepare(const QString& programFolder, const QDate& today, DayRegisterArray& reg) {
    const QString yearFolder = programFolder + QString::number(today.year());
    if (!QFileInfo::exists(yearFolder))
        QDir().mkdir(yearFolder);
    MonthFolder = MonthFolderFor(programFolder, today);
    if (!QFileInfo::exists(MonthFolder))
        QDir().mkdir(MonthFolder);
    DayFileName = DayFileNameFor(today);
    MonthGenitive = SetMonthGenitive(today);

    const QFileInfo day(DayFilePath());
    if (day.exists() && day.isFile())
        return ReadDayFile(reg);
    return WriteDayFile(reg);
}

} // namespace zet
