// The .xlsx side of the staff list reader: the workbook is a zip archive of XML parts, read
// from memory with libzip; the first sheet is found through the workbook and its
// relationships, its cells through their references, texts in the shared strings.

#include "staff/staffxlsx.h"
#include "staff/stafffile.h"
#include "staff/stafftable.h"

#include <QDir>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>

namespace zet {

namespace {

const QString kBroken = QStringLiteral("Книга Excel повреждена или это не книга .xlsx");

class Workbook {
public:
    ~Workbook() {
        if (archive_)
            zip_discard(archive_);
    }

    bool open(QByteArrayView bytes, QString& error) {
        zip_error_t zipError;
        zip_error_init(&zipError);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), static_cast<zip_uint64_t>(bytes.size()), 0, &zipError);
        if (source)
            archive_ = zip_open_from_source(source, ZIP_RDONLY, &zipError);
        if (!archive_) {
            if (source)
                zip_source_free(source);
            error = kBroken + QStringLiteral(" (%1).").arg(QString::fromLocal8Bit(zip_error_strerror(&zipError)));
        }
        zip_error_fini(&zipError);
        return archive_ != nullptr;
    }

    bool has(const QString& name) const {
        return !name.isEmpty() && zip_name_locate(archive_, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    // The part's bytes; false with a message when it is missing, encrypted, broken or too large.
    bool read(const QString& name, QByteArray& bytes, QString& error) const {
        bytes.clear();
        const zip_int64_t index = zip_name_locate(archive_, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0) {
            error = kBroken + QStringLiteral(": в ней нет части «%1».").arg(name);
            return false;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
            stat.size > static_cast<zip_uint64_t>(kMaxStaffXlsxPartBytes)) {
            error = tooLarge();
            return false;
        }
        zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
        if (!file) {
            error = kBroken + QStringLiteral(" (%1).").arg(QString::fromLocal8Bit(zip_strerror(archive_)));
            return false;
        }
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, zip_fclose);
        char buffer[64 * 1024];
        for (;;) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got < 0) {
                error = kBroken + QStringLiteral(" (%1).").arg(QString::fromLocal8Bit(zip_file_strerror(file)));
                return false;
            }
            if (got == 0)
                return true;
            if (bytes.size() + got > kMaxStaffXlsxPartBytes) {
                error = tooLarge();
                return false;
            }
            bytes.append(buffer, static_cast<qsizetype>(got));
        }
    }

private:
    static QString tooLarge() {
        return QStringLiteral("Лист книги слишком большой: распакованный он занимал бы больше %1 МБ.")
            .arg(kMaxStaffXlsxPartBytes / (1024 * 1024));
    }

    zip_t* archive_ = nullptr;
};

bool xmlFailed(const QXmlStreamReader& xml, const QString& part, QString& error) {
    if (!xml.hasError() || xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        return false;
    error = kBroken + QStringLiteral(": часть «%1», строка %2: %3.").arg(part).arg(xml.lineNumber()).arg(xml.errorString());
    return true;
}

struct Relationship {
    QString type, target;
};

// The relationships of a part: Id → type and target, the target as a path inside the archive.
QHash<QString, Relationship> relationships(const QByteArray& bytes, const QString& baseFolder) {
    QHash<QString, Relationship> result;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        QString target = attributes.value(QLatin1String("Target")).toString();
        target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : baseFolder + target;
        target = QDir::cleanPath(target);
        if (target.startsWith(QLatin1String("../")))
            continue;
        result.insert(attributes.value(QLatin1String("Id")).toString(),
                      {attributes.value(QLatin1String("Type")).toString(), target});
    }
    return result;
}

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relationshipsOf(const QString& part) {
    return folderOf(part) + QStringLiteral("_rels/") + part.mid(folderOf(part).size()) + QStringLiteral(".rels");
}

QString targetOfType(const QHash<QString, Relationship>& relations, QLatin1String typeEnd) {
    for (const Relationship& r : relations)
        if (r.type.endsWith(typeEnd))
            return r.target;
    return QString();
}

// The text of a string item: <t> directly or the <t> of every rich text run, without the
// phonetic guides (<rPh>) that East Asian workbooks add.
QString stringItemText(QXmlStreamReader& xml) {
    QString text;
    const QString endName = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == endName)
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("rPh"))
            xml.skipCurrentElement();
        else if (xml.name() == QLatin1String("t"))
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return text;
}

bool readSharedStrings(const QByteArray& bytes, const QString& part, QStringList& strings, QString& error) {
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings << stringItemText(xml);
    }
    return !xmlFailed(xml, part, error);
}

// The 0-based column of a cell reference ("C7" → 2), -1 when it has none.
int referenceColumn(QStringView reference) {
    int column = 0, letters = 0;
    for (QChar c : reference) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            break;
        column = column * 26 + (u - u'A' + 1);
        if (++letters > 3)
            return -1;
    }
    return letters == 0 ? -1 : column - 1;
}

bool readSheet(const QByteArray& bytes, const QString& part, const QStringList& strings, staff::Table& table,
               QString& error) {
    QXmlStreamReader xml(bytes);
    staff::TableRow row;
    int lastLine = 0;
    bool inRow = false;
    auto endRow = [&] {
        if (inRow && !row.cells.isEmpty())
            table.rows.append(std::move(row));
        row = staff::TableRow();
        inRow = false;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("row"))
            endRow();
        if (xml.isEndElement() && xml.name() == QLatin1String("sheetData"))
            break;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            endRow();
            bool ok = false;
            const int number = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            lastLine = ok && number > lastLine ? number : lastLine + 1;
            row.line = lastLine;
            inRow = true;
        } else if (xml.name() == QLatin1String("c") && inRow) {
            const QXmlStreamAttributes attributes = xml.attributes();
            const int column = referenceColumn(attributes.value(QLatin1String("r")));
            const QStringView type = attributes.value(QLatin1String("t"));
            staff::TableCell cell;
            cell.column = column >= 0 ? column : (row.cells.isEmpty() ? 0 : row.cells.last().column + 1);
            QString value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == QLatin1String("c"))
                    break;
                if (!xml.isStartElement())
                    continue;
                if (xml.name() == QLatin1String("v"))
                    value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                else if (xml.name() == QLatin1String("is"))
                    value = stringItemText(xml);
                else
                    xml.skipCurrentElement();
            }
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int index = value.trimmed().toInt(&ok);
                cell.text = ok && index >= 0 && index < strings.size() ? strings[index] : QString();
            } else {
                cell.text = value;
                cell.numeric = type.isEmpty() || type == QLatin1String("n");
            }
            if (!cell.text.trimmed().isEmpty())
                row.cells.append(std::move(cell));
        }
    }
    endRow();
    return !xmlFailed(xml, part, error);
}

struct FirstSheet {
    QString relationId;
    bool date1904 = false;
};

FirstSheet firstSheet(const QByteArray& workbook) {
    FirstSheet first;
    QString firstAny;
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("workbookPr")) {
            const QStringView flag = attributes.value(QLatin1String("date1904"));
            first.date1904 = flag == QLatin1String("1") || flag == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet")) {
            QString id;
            for (const QXmlStreamAttribute& a : attributes)
                if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                    id = a.value().toString();
            if (firstAny.isEmpty())
                firstAny = id;
            const QStringView state = attributes.value(QLatin1String("state"));
            if (first.relationId.isEmpty() && state != QLatin1String("hidden") && state != QLatin1String("veryHidden"))
                first.relationId = id;
        }
    }
    if (first.relationId.isEmpty())
        first.relationId = firstAny;
    return first;
}

} // namespace

bool parseStaffXlsx(QByteArrayView bytes, StaffFile& result, QString& error) {
    result = StaffFile();
    if (bytes.size() > kMaxStaffFileBytes) {
        error = QStringLiteral("Файл слишком большой: список персонала может занимать не больше %1 МБ.")
                    .arg(kMaxStaffFileBytes / (1024 * 1024));
        return false;
    }
    Workbook book;
    if (!book.open(bytes, error))
        return false;
    QByteArray part;
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (book.has(QStringLiteral("_rels/.rels"))) {
        if (!book.read(QStringLiteral("_rels/.rels"), part, error))
            return false;
        const QString office = targetOfType(relationships(part, QString()), QLatin1String("/officeDocument"));
        if (!office.isEmpty())
            workbookPart = office;
    }
    if (!book.has(workbookPart)) {
        error = QStringLiteral("Это не книга Excel .xlsx: в архиве нет книги (%1).").arg(workbookPart);
        return false;
    }
    if (!book.read(workbookPart, part, error))
        return false;
    const FirstSheet first = firstSheet(part);
    QHash<QString, Relationship> relations;
    const QString relationsPart = relationshipsOf(workbookPart);
    if (book.has(relationsPart)) {
        if (!book.read(relationsPart, part, error))
            return false;
        relations = relationships(part, folderOf(workbookPart));
    }
    const QString sheetPart = relations.value(first.relationId).target;
    if (sheetPart.isEmpty() || !book.has(sheetPart)) {
        error = QStringLiteral("В книге Excel нет ни одного листа.");
        return false;
    }
    QStringList strings;
    QString stringsPart = targetOfType(relations, QLatin1String("/sharedStrings"));
    if (stringsPart.isEmpty())
        stringsPart = folderOf(workbookPart) + QStringLiteral("sharedStrings.xml");
    if (book.has(stringsPart)) {
        if (!book.read(stringsPart, part, error) || !readSharedStrings(part, stringsPart, strings, error))
            return false;
    }
    if (!book.read(sheetPart, part, error))
        return false;
    staff::Table table;
    table.date1904 = first.date1904;
    if (!readSheet(part, sheetPart, strings, table, error))
        return false;
    part.clear();
    strings.clear();
    return staff::staffFromTable(table, result, error);
}

} // namespace zet
