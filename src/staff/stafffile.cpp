#include "staff/stafffile.h"

#include "model/cp1251.h"
#include "model/regularfile.h"
#include "model/systemerror.h"
#include "staff/stafftable.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <cmath>

namespace zet {

namespace staff {

namespace {

enum Column { Number, FullName, Surname, GivenName, Patronymic, Job, Department, Birth, Hire, ColumnCount };

const std::pair<const char16_t*, Column> kHeaders[] = {
    {u"табельный номер", Number}, {u"фио", FullName},     {u"фамилия", Surname},
    {u"имя", GivenName},          {u"отчество", Patronymic}, {u"должность", Job},
    {u"подразделение", Department}, {u"дата рождения", Birth}, {u"дата приема", Hire},
};

// HR exports put a title and a date above the table; the header is looked for this far down.
constexpr int kHeaderSearchRows = 50;

const TableCell* cellAt(const TableRow& row, int column) {
    if (column < 0)
        return nullptr;
    for (const TableCell& cell : row.cells)
        if (cell.column == column)
            return &cell;
    return nullptr;
}

// A cell's text on one line, numbers of a workbook without a decimal tail ("123", not "123.0").
QString cellText(const TableRow& row, int column) {
    const TableCell* cell = cellAt(row, column);
    if (!cell)
        return QString();
    if (cell->numeric) {
        bool ok = false;
        const double value = cell->text.toDouble(&ok);
        if (ok && std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
            return QString::number(static_cast<qint64>(value));
    }
    return cell->text.simplified();
}

QDate cellDate(const TableRow& row, int column, bool date1904) {
    const TableCell* cell = cellAt(row, column);
    if (!cell)
        return QDate();
    if (cell->numeric) {
        bool ok = false;
        const double serial = cell->text.toDouble(&ok);
        return ok ? excelSerialDate(serial, date1904) : QDate();
    }
    return parseStaffDate(cell->text);
}

bool isBlankRow(const TableRow& row) {
    for (const TableCell& cell : row.cells)
        if (!cell.text.trimmed().isEmpty())
            return false;
    return true;
}

// The columns a row names, -1 for those it lacks; empty when it is not the header.
std::array<int, ColumnCount> headerColumns(const TableRow& row) {
    std::array<int, ColumnCount> columns;
    columns.fill(-1);
    for (const TableCell& cell : row.cells) {
        const QString key = headerKey(cell.text);
        for (const auto& [name, column] : kHeaders)
            if (key == QStringView(name) && columns[column] < 0)
                columns[column] = cell.column;
    }
    return columns;
}

} // namespace

QString headerKey(QStringView text) {
    QString key;
    key.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('.'))
            continue;
        c = c.toLower();
        if (c == QChar(0x0451))
            c = QChar(0x0435);
        key += c.isSpace() ? QLatin1Char(' ') : c;
    }
    return key.simplified();
}

bool staffFromTable(const Table& table, StaffFile& result, QString& error) {
    result = StaffFile();
    qsizetype headerIndex = -1;
    std::array<int, ColumnCount> columns;
    for (qsizetype i = 0; i < table.rows.size() && i < kHeaderSearchRows; ++i) {
        columns = headerColumns(table.rows[i]);
        if (columns[Number] >= 0 && (columns[FullName] >= 0 || columns[Surname] >= 0)) {
            headerIndex = i;
            break;
        }
    }
    if (headerIndex < 0) {
        error = QStringLiteral("Это не список персонала: в начале файла нет строки заголовков со "
                               "столбцами «Табельный номер» и «ФИО» (или «Фамилия», «Имя», «Отчество»).");
        return false;
    }
    QHash<QString, int> lineOfNumber;
    for (qsizetype i = headerIndex + 1; i < table.rows.size(); ++i) {
        const TableRow& row = table.rows[i];
        if (isBlankRow(row))
            continue;
        StaffRecord person;
        person.line = row.line;
        person.personnelNo = cellText(row, columns[Number]);
        if (columns[FullName] >= 0) {
            person.fullName = cellText(row, columns[FullName]);
        } else {
            QStringList parts;
            for (Column part : {Surname, GivenName, Patronymic}) {
                const QString text = cellText(row, columns[part]);
                if (!text.isEmpty())
                    parts << text;
            }
            person.fullName = parts.join(QLatin1Char(' '));
        }
        QString reason;
        if (person.personnelNo.isEmpty() && person.fullName.isEmpty())
            reason = QStringLiteral("нет ни табельного номера, ни ФИО");
        else if (person.personnelNo.isEmpty())
            reason = QStringLiteral("нет табельного номера");
        else if (person.fullName.isEmpty())
            reason = QStringLiteral("нет ФИО");
        else if (const int earlier = lineOfNumber.value(person.personnelNo); earlier > 0)
            reason = QStringLiteral("табельный номер %1 уже был в строке %2").arg(person.personnelNo).arg(earlier);
        if (!reason.isEmpty()) {
            result.skipped.append({row.line, reason});
            continue;
        }
        lineOfNumber.insert(person.personnelNo, row.line);
        person.jobTitle = cellText(row, columns[Job]);
        person.department = cellText(row, columns[Department]);
        person.birthDate = cellDate(row, columns[Birth], table.date1904);
        person.hireDate = cellDate(row, columns[Hire], table.date1904);
        result.records.append(person);
    }
    return true;
}

} // namespace staff

namespace {

// The separator of the header line: the one of ";", "," and tab it holds most of.
QChar detectSeparator(QStringView text) {
    QStringView first;
    qsizetype start = 0;
    for (int line = 0; line < 50 && start < text.size(); ++line) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        const QStringView current = text.mid(start, end - start);
        if (first.isEmpty() && !current.trimmed().isEmpty())
            first = current;
        if (staff::headerKey(current).contains(QStringView(u"табельный номер"))) {
            first = current;
            break;
        }
        start = end + 1;
    }
    QChar best = QLatin1Char(';');
    qsizetype most = 0;
    for (QChar candidate : {QLatin1Char(';'), QLatin1Char(','), QLatin1Char('\t')}) {
        const qsizetype count = first.count(candidate);
        if (count > most) {
            most = count;
            best = candidate;
        }
    }
    return best;
}

// Fields split as spreadsheets write CSV: a field in double quotes may hold the separator,
// line breaks and doubled quotes; rows keep the line they begin on.
staff::Table csvTable(QStringView text, QChar separator) {
    staff::Table table;
    staff::TableRow row;
    row.line = 1;
    QString field;
    int line = 1, column = 0;
    bool inQuotes = false;
    auto endField = [&] {
        if (!field.trimmed().isEmpty())
            row.cells.append({column, field.trimmed(), false});
        field.clear();
        ++column;
    };
    auto endRow = [&] {
        endField();
        if (!row.cells.isEmpty())
            table.rows.append(std::move(row));
        row = staff::TableRow();
        row.line = line;
        column = 0;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool lineBreak = c == QLatin1Char('\n') || c == QLatin1Char('\r');
        if (lineBreak) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            ++line;
        }
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += lineBreak ? QLatin1Char('\n') : c;
            }
        } else if (lineBreak) {
            endRow();
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            field.clear();
            inQuotes = true;
        } else {
            field += c;
        }
    }
    endRow();
    return table;
}

// UTF-16 with its mark (Excel's «Текст Юникод»), UTF-8 with or without one, else Windows-1251.
QString decodeCsv(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16, QStringDecoder::Flag::ConvertInitialBom);
        return utf16.decode(bytes);
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1251(bytes);
}

bool isZip(QByteArrayView bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

QString tooLarge(qint64 size) {
    return QStringLiteral("Файл слишком большой (%1 МБ): список персонала может занимать не больше %2 МБ.")
        .arg((size + 1024 * 1024 - 1) / (1024 * 1024))
        .arg(kMaxStaffFileBytes / (1024 * 1024));
}

} // namespace

QDate parseStaffDate(QStringView text) {
    text = text.trimmed();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].isSpace() || text[i] == QLatin1Char('T')) {
            text = text.first(i);
            break;
        }
    const bool dotted = text.contains(QLatin1Char('.'));
    const QList<QStringView> parts = text.split(dotted ? QLatin1Char('.') : QLatin1Char('-'));
    if (parts.size() != 3)
        return QDate();
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        const QStringView part = parts[i];
        if (part.isEmpty() || part.size() > 4)
            return QDate();
        for (QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QDate();
        numbers[i] = part.toInt();
    }
    const QStringView year = dotted ? parts[2] : parts[0];
    const QStringView monthDay[2] = {parts[1], dotted ? parts[0] : parts[2]};
    if (year.size() != 4 || monthDay[0].size() > 2 || monthDay[1].size() > 2)
        return QDate();
    return dotted ? QDate(numbers[2], numbers[1], numbers[0]) : QDate(numbers[0], numbers[1], numbers[2]);
}

QDate excelSerialDate(double serial, bool system1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 3e6)
        return QDate();
    const qint64 day = static_cast<qint64>(std::floor(serial));
    QDate date;
    if (system1904)
        date = QDate(1904, 1, 1).addDays(day);
    else if (day >= 1 && day < 60)
        date = QDate(1899, 12, 31).addDays(day);
    else if (day > 60) // day 60 is 29 February 1900, which Excel counts though it never was
        date = QDate(1899, 12, 30).addDays(day);
    return date.isValid() && date.year() <= 9999 ? date : QDate();
}

bool parseStaffCsv(QByteArrayView bytes, StaffFile& result, QString& error) {
    result = StaffFile();
    if (bytes.size() > kMaxStaffFileBytes) {
        error = tooLarge(bytes.size());
        return false;
    }
    const QString text = decodeCsv(bytes);
    return staff::staffFromTable(csvTable(text, detectSeparator(text)), result, error);
}

bool parseStaffBytes(QByteArrayView bytes, StaffFile& result, QString& error, const StaffWorkbookReader& workbook) {
    result = StaffFile();
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        error = QStringLiteral("Это книга Excel старого формата (.xls) или книга с паролем: сохраните "
                               "список в формате .xlsx (без пароля) или CSV.");
        return false;
    }
    return isZip(bytes) ? workbook(bytes, result, error) : parseStaffCsv(bytes, result, error);
}

bool readStaffFile(const QString& path, StaffFile& result, QString& error, const StaffWorkbookReader& workbook) {
    result = StaffFile();
    const QString name = QFileInfo(path).fileName();
    QFile in(path);
    if (!in.exists()) {
        error = QStringLiteral("Файл «%1» не найден.").arg(path);
        return false;
    }
    if (!openRegularFile(in, &error))
        return false;
    if (in.size() > kMaxStaffFileBytes) {
        error = QStringLiteral("«%1»: %2").arg(name, tooLarge(in.size()));
        return false;
    }
    const QByteArray bytes = in.read(kMaxStaffFileBytes + 1);
    if (in.error() != QFileDevice::NoError) {
        error = QStringLiteral("Файл «%1» не удалось прочитать: %2").arg(path, russianSystemError(in.errorString()));
        return false;
    }
    QString problem;
    if (!parseStaffBytes(bytes, result, problem, workbook)) {
        error = QStringLiteral("«%1»: %2").arg(name, problem);
        return false;
    }
    return true;
}

} // namespace zet
