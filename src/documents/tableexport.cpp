#include "documents/tableexport.h"

#include "model/systemerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTimeZone>

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace zet {

namespace {

// Spreadsheet limits: characters in a cell, rows in a sheet; column widths in characters.
constexpr int kMaxCellText = 32767;
constexpr int kMaxSheetRows = 1048576; // the header row included
constexpr double kMaxColumnWidth = 60.0;
constexpr double kMinColumnWidth = 6.0;

// Times are shown in the computer's own time zone. One zone object for all cells: converting
// each cell with toLocalTime() asks the C library, which looks at the zone file every time.
QDateTime localTime(const QVariant& value) {
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return value.toDateTime().toTimeZone(zone);
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The cell as a spreadsheet program with Russian settings reads it back from text.
QString cellText(ExportColumn::Kind kind, const QVariant& value) {
    if (value.isNull())
        return {};
    switch (kind) {
    case ExportColumn::Kind::Text:
        return value.toString();
    case ExportColumn::Kind::Integer:
        return QString::number(value.toLongLong());
    case ExportColumn::Kind::Percent:
        return QString::number(value.toDouble() * 100.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','))
               + QLatin1Char('%');
    case ExportColumn::Kind::Date:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case ExportColumn::Kind::DateTime:
        return localTime(value).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    return {};
}

// A file under a temporary name beside the target, removed unless it was put in place.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const QString& target)
        : m_file(QFileInfo(target).absoluteDir().filePath(QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"))) {}
    bool reserve() {
        if (!m_file.open())
            return false;
        m_file.close();
        return true;
    }
    QString path() const { return m_file.fileName(); }
    QString errorString() const { return m_file.errorString(); }
    // Replaces the target with the temporary file in one step. The file gets the mode every
    // new file of the user gets (the temporary one is made readable by its owner only).
    bool putInPlace(const QString& target, QString* reason) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(QFile::encodeName(path()).constData(), 0666 & ~mask);
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(path().toStdU16String()),
                                std::filesystem::path(QFileInfo(target).absoluteFilePath().toStdU16String()), error);
        if (error) {
            *reason = russianSystemError(QString::fromLocal8Bit(error.message()));
            return false;
        }
        m_file.setAutoRemove(false);
        return true;
    }

private:
    QTemporaryFile m_file;
};

} // namespace

QString csvText(const QString& text) {
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStart.contains(text.front()))
        return QLatin1Char('\'') + text;
    return text;
}

QString csvField(const QString& text) {
    const bool quote = text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"'))
                       || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
                       || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

ExportFormat exportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return ExportFormat::Xlsx;
    if (suffix == QLatin1String("csv"))
        return ExportFormat::Csv;
    return ExportFormat::Unknown;
}

JournalResult writeTable(const ExportTable& table, const QString& path) {
    switch (exportFormatOf(path)) {
    case ExportFormat::Xlsx:
        return writeXlsx(table, path);
    case ExportFormat::Csv:
        return writeCsv(table, path);
    case ExportFormat::Unknown:
        break;
    }
    return JournalResult::failure(
        QStringLiteral("Файл «%1»: выгрузка возможна только в файлы .xlsx и .csv.").arg(nativePath(path)));
}

JournalResult writeCsv(const ExportTable& table, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return JournalResult::failure(QStringLiteral("Не удалось создать файл «%1»: %2")
                                          .arg(nativePath(path), russianSystemError(file.errorString())));
    QByteArray chunk("\xEF\xBB\xBF");
    auto endLine = [&chunk, &file]() {
        chunk.append("\r\n");
        if (chunk.size() > (1 << 16)) {
            file.write(chunk);
            chunk.clear();
        }
    };
    for (const QString& line : table.heading) {
        chunk.append(csvField(csvText(line)).toUtf8());
        endLine();
    }
    QStringList fields;
    for (const ExportColumn& column : table.columns)
        fields << csvField(column.title);
    chunk.append(fields.join(QLatin1Char(';')).toUtf8());
    endLine();
    for (int row = 0; row < table.rowCount; ++row) {
        fields.clear();
        for (int c = 0; c < table.columns.size(); ++c) {
            const ExportColumn::Kind kind = table.columns.at(c).kind;
            const QString text = cellText(kind, table.cell(row, c));
            fields << csvField(kind == ExportColumn::Kind::Text ? csvText(text) : text);
        }
        chunk.append(fields.join(QLatin1Char(';')).toUtf8());
        endLine();
    }
    file.write(chunk);
    // commit() alone would not see a buffer that could not be written out (a full disk).
    if (!file.flush() || !file.commit())
        return JournalResult::failure(QStringLiteral("Не удалось записать файл «%1»: %2")
                                          .arg(nativePath(path), russianSystemError(file.errorString())));
    return {};
}

JournalResult writeXlsx(const ExportTable& table, const QString& path) {
    const int top = int(table.heading.size()); // the header's row
    if (table.rowCount + top >= kMaxSheetRows)
        return JournalResult::failure(
            QStringLiteral("В файл .xlsx помещается не больше %1 строк, а выбрано %2. Сузьте выборку или "
                           "выгрузите её в .csv.")
                .arg(kMaxSheetRows - 1 - top)
                .arg(table.rowCount));
    TemporaryBeside temporary(path);
    if (!temporary.reserve())
        return JournalResult::failure(
            QStringLiteral("Не удалось создать файл «%1»: %2")
                .arg(nativePath(path), russianSystemError(temporary.errorString())));
    const QByteArray temporaryName = QFile::encodeName(temporary.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    lxw_workbook* workbook = workbook_new_opt(temporaryName.constData(), &options);
    if (!workbook)
        return JournalResult::failure(QStringLiteral("Не удалось создать файл «%1».").arg(nativePath(path)));
    const QByteArray sheetName = table.sheetName.left(31).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.isEmpty() ? nullptr : sheetName.constData());

    lxw_format* header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_text_wrap(header);
    format_set_align(header, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* headingFormat = workbook_add_format(workbook);
    format_set_bold(headingFormat);
    lxw_format* date = workbook_add_format(workbook);
    format_set_num_format(date, "dd.mm.yyyy");
    lxw_format* dateTime = workbook_add_format(workbook);
    format_set_num_format(dateTime, "dd.mm.yyyy hh:mm:ss");
    lxw_format* percent = workbook_add_format(workbook);
    format_set_num_format(percent, "0.0%");

    const int columnCount = int(table.columns.size());
    QList<double> widths(columnCount, kMinColumnWidth);
    lxw_error failed = LXW_NO_ERROR;
    auto note = [&failed](lxw_error error) {
        if (error != LXW_NO_ERROR && failed == LXW_NO_ERROR)
            failed = error;
    };
    for (int line = 0; line < top; ++line) {
        const QString text = table.heading.at(line).left(kMaxCellText);
        if (!text.isEmpty())
            note(worksheet_write_string(sheet, lxw_row_t(line), 0, text.toUtf8().constData(), line == 0 ? headingFormat : nullptr));
    }
    for (int c = 0; c < columnCount; ++c) {
        const QString& title = table.columns.at(c).title;
        note(worksheet_write_string(sheet, lxw_row_t(top), lxw_col_t(c), title.toUtf8().constData(), header));
        // A long title wraps onto a second line rather than widening its column.
        widths[c] = std::max(widths[c], std::min(double(title.size()) + 2.0, 24.0));
    }
    for (int row = 0; row < table.rowCount; ++row) {
        const lxw_row_t r = lxw_row_t(top + row + 1);
        for (int c = 0; c < columnCount; ++c) {
            const QVariant value = table.cell(row, c);
            if (value.isNull())
                continue;
            const lxw_col_t col = lxw_col_t(c);
            double width = 0;
            switch (table.columns.at(c).kind) {
            case ExportColumn::Kind::Text: {
                const QString text = value.toString().left(kMaxCellText);
                if (text.isEmpty())
                    break;
                note(worksheet_write_string(sheet, r, col, text.toUtf8().constData(), nullptr));
                width = text.size();
                break;
            }
            case ExportColumn::Kind::Integer: {
                const qlonglong number = value.toLongLong();
                note(worksheet_write_number(sheet, r, col, double(number), nullptr));
                width = QString::number(number).size();
                break;
            }
            case ExportColumn::Kind::Percent:
                note(worksheet_write_number(sheet, r, col, value.toDouble(), percent));
                width = 6;
                break;
            case ExportColumn::Kind::Date: {
                const QDate d = value.toDate();
                if (!d.isValid())
                    break;
                lxw_datetime when{d.year(), d.month(), d.day(), 0, 0, 0.0};
                note(worksheet_write_datetime(sheet, r, col, &when, date));
                width = 10;
                break;
            }
            case ExportColumn::Kind::DateTime: {
                const QDateTime t = localTime(value);
                if (!t.isValid())
                    break;
                lxw_datetime when{t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                                  t.time().minute(), double(t.time().second())};
                note(worksheet_write_datetime(sheet, r, col, &when, dateTime));
                width = 19;
                break;
            }
            }
            widths[c] = std::max(widths[c], width + 2.0);
        }
    }
    for (int c = 0; c < columnCount; ++c)
        note(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widths[c], kMaxColumnWidth), nullptr));
    if (columnCount > 0) {
        note(worksheet_autofilter(sheet, lxw_row_t(top), 0, lxw_row_t(top + table.rowCount), lxw_col_t(columnCount - 1)));
        worksheet_freeze_panes(sheet, lxw_row_t(top + 1), 0);
    }
    const lxw_error closed = workbook_close(workbook);
    if (failed == LXW_NO_ERROR)
        failed = closed;
    if (failed != LXW_NO_ERROR)
        return JournalResult::failure(QStringLiteral("Не удалось записать файл «%1»: %2")
                                          .arg(nativePath(path), QString::fromUtf8(lxw_strerror(failed))));
    QString reason;
    if (!temporary.putInPlace(path, &reason))
        return JournalResult::failure(
            QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(nativePath(path), reason));
    return {};
}

} // namespace zet
