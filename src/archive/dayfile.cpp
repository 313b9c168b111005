#include "archive/dayfile.h"

#include "archive/monthnames.h"

#include "model/cp1251.h"
#include "model/linesplit.h"
#include "model/regularfile.h"
#include "model/savefile.h"
#include "model/systemerror.h"
#include "model/textvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <span>

namespace zet {

const QStringList& dayFileLabels() {
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

QString dayFileSeparator() {
    return QString(58, QLatin1Char('*'));
}

QString dayFileEndMarker() {
    return dayFileLabels().at(0) + QStringLiteral(" 0");
}

QString monthFolderFor(const QString& programFolder, const QDate& date) {
    return programFolder + QString::number(date.year()) + QDir::separator() + monthNominative(date.month());
}

QString dayFileNameFor(const QDate& date) {
    return dateText(date) + QStringLiteral(".txt");
}

QString dayFilePathFor(const QString& programFolder, const QDate& date) {
    return monthFolderFor(programFolder, date) + QDir::separator() + dayFileNameFor(date);
}

namespace {

constexpr int kFieldLines = 12;
constexpr int kRecordLines = kFieldLines + 1;

// A run of lines of the file.
using LineRun = std::span<const QString>;

enum FieldKind { Number, Text };
constexpr FieldKind kKinds[kFieldLines] = {Number, Number, Text,   Text,   Number, Text,
                                           Number, Number, Number, Number, Number, Text};

// A value that holds a line break would split its record; each CR LF pair and each lone
// CR or LF becomes one blank.
QString oneLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

QStringList recordValues(const ExamineeRecord& r) {
    return {signedNumberText(r.protocolNo), signedNumberText(r.profileNo),
            oneLine(r.profileName),         oneLine(r.fullName),
            signedNumberText(r.birthYear),  oneLine(r.jobTitle),
            signedNumberText(r.seniority),  signedNumberText(r.grade),
            signedNumberText(r.askedCount), signedNumberText(r.rightCount),
            signedNumberText(r.timeSpent),  oneLine(r.personnelNo)};
}

void storeField(ExamineeRecord& r, int line, const QString& value) {
    if (kKinds[line] == Text) {
        switch (line) {
        case 2:
            r.profileName = value;
            break;
        case 3:
            r.fullName = value;
            break;
        case 5:
            r.jobTitle = value;
            break;
        default:
            r.personnelNo = value;
            break;
        }
        return;
    }
    // A number that does not fit sixteen bits reads as 0 rather than wrapping round.
    const int16 number = int16Rounded(value).value_or(0);
    switch (line) {
    case 0:
        r.protocolNo = number;
        break;
    case 1:
        r.profileNo = number;
        break;
    case 4:
        r.birthYear = number;
        break;
    case 6:
        r.seniority = number;
        break;
    case 7:
        r.grade = number;
        break;
    case 8:
        r.askedCount = number;
        break;
    case 9:
        r.rightCount = number;
        break;
    default:
        r.timeSpent = number;
        break;
    }
}


} // namespace

QByteArray formatDayFile(const DayRegisterArray& reg) {
    // The labels and the separator in file bytes, made once.
    static const std::array<QByteArray, kFieldLines> labels = [] {
        std::array<QByteArray, kFieldLines> bytes;
        for (int k = 0; k < kFieldLines; ++k)
            bytes[k] = encodeCp1251(dayFileLabels().at(k)).bytes;
        return bytes;
    }();
    static const QByteArray separator = encodeCp1251(dayFileSeparator()).bytes + "\r\n";
    QByteArray out;
    out.reserve(kRegisterSlots * 400);
    for (int n = 1; n <= kRegisterSlots; ++n) {
        const QStringList values = recordValues(reg[n]);
        for (int k = 0; k < kFieldLines; ++k) {
            out += labels[k];
            out += encodeCp1251(values.at(k)).bytes;
            out += "\r\n";
        }
        out += separator;
    }
    return out;
}

namespace {

// The labels without their closing blank.
const QStringList& trimmedLabels() {
    static const QStringList trimmed = [] {
        QStringList list;
        for (const QString& label : dayFileLabels())
            list.append(label.trimmed());
        return list;
    }();
    return trimmed;
}

// A file whose labels are written in UTF-8 (re-saved by a text editor) is read as UTF-8.
// Its values are kept as the day file can hold them: a character Windows-1251 lacks (or a
// broken UTF-8 sequence) reads as '?', just as it would be written back, so that a record
// read from such a file compares equal to the same record read after the next save.
QString decodeDayFile(const QByteArray& bytes) {
    static const QByteArray utf8Label = trimmedLabels().at(0).toUtf8();
    auto asStored = [](const QString& text) {
        const EncodedText encoded = encodeCp1251(text);
        return encoded.replaced ? decodeCp1251(encoded.bytes) : text;
    };
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return asStored(QString::fromUtf8(bytes.mid(3)));
    if (bytes.contains(utf8Label)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return asStored(text);
    }
    return decodeCp1251(bytes);
}

bool isSeparator(const QString& line) {
    const QStringView t = QStringView(line).trimmed();
    return t.size() >= 3 && std::all_of(t.begin(), t.end(), [](QChar c) { return c == QLatin1Char('*'); });
}

bool isRecordStart(const QString& line) {
    return line.startsWith(trimmedLabels().at(0));
}

// The field whose label starts line (its closing blank may be missing), or -1. The field
// expected at the line's place in its record is tried first.
int labelledField(const QString& line, int expected, QString* value) {
    const QStringList& labels = dayFileLabels();
    const QStringList& trimmed = trimmedLabels();
    auto take = [&](int k) {
        const QString& label = labels.at(k);
        *value = line.mid(line.startsWith(label) ? label.size() : label.size() - 1);
        return k;
    };
    if (expected < kFieldLines && line.startsWith(trimmed.at(expected)))
        return take(expected);
    for (int k = 0; k < kFieldLines; ++k) {
        if (line.startsWith(trimmed.at(k)))
            return take(k);
    }
    return -1;
}

// A line without a known label: its value stands behind a damaged label of the same length,
// or it is the value alone.
QString unlabelledValue(const QString& line, int k) {
    const int length = static_cast<int>(dayFileLabels().at(k).size());
    if (line.size() >= length && line.mid(length - 2, 2) == QStringLiteral(": "))
        return line.mid(length);
    return line;
}

bool isNonEmptyValue(const QString& value) {
    const QStringView t = QStringView(value).trimmed();
    return !t.isEmpty() && t != u"0";
}

ExamineeRecord readRecord(LineRun lines, bool* holdsValue) {
    std::array<std::optional<QString>, kFieldLines> values;
    QStringList unlabelled;
    int place = 0;
    for (const QString& line : lines) {
        QString value;
        const int k = labelledField(line, place++, &value);
        if (k >= 0 && !values[k])
            values[k] = value;
        else
            unlabelled.append(line);
    }
    // Lines without labels fill the fields still missing, in the order of the format.
    for (int k = 0; k < kFieldLines && !unlabelled.isEmpty(); ++k) {
        if (!values[k])
            values[k] = unlabelledValue(unlabelled.takeFirst(), k);
    }
    ExamineeRecord record;
    *holdsValue = !unlabelled.isEmpty();
    for (int k = 0; k < kFieldLines; ++k) {
        if (!values[k])
            continue;
        storeField(record, k, *values[k]);
        *holdsValue = *holdsValue || isNonEmptyValue(*values[k]);
    }
    return record;
}

} // namespace

DayFileReading parseDayFile(const QByteArray& bytes, DayRegisterArray& reg) {
    const QStringList lines = splitLines(decodeDayFile(bytes));

    // Records end at their separator; a record start without a separator before it ends the
    // record before. Blocks of blank lines are no records. A block is a range of lines.
    QList<LineRun> blocks;
    qsizetype blockStart = 0;
    auto closeBlock = [&](qsizetype end) {
        const LineRun block(lines.cbegin() + blockStart, lines.cbegin() + end);
        const bool blank = std::all_of(block.begin(), block.end(),
                                       [](const QString& l) { return QStringView(l).trimmed().isEmpty(); });
        if (!blank)
            blocks.append(block);
        blockStart = end;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (isSeparator(line)) {
            closeBlock(i);
            blockStart = i + 1;
        } else if (i > blockStart && isRecordStart(line)) {
            closeBlock(i);
        }
    }
    closeBlock(lines.size());

    for (int n = 1; n <= kRegisterSlots; ++n)
        reg[n] = ExamineeRecord{};
    int slot = 0;
    for (const LineRun& lines : blocks) {
        bool holdsValue = false;
        ExamineeRecord record = readRecord(lines, &holdsValue);
        if (++slot > kRegisterSlots)
            break;
        // A record without a profile that holds something, and a used one whose number is out of
        // range (it would be written back as 0, the viewer's end of records), keep their slot's number.
        if ((holdsValue && isFreeRecord(record)) ||
            (!isFreeRecord(record) && (record.protocolNo < 1 || record.protocolNo > kRegisterSlots)))
            record.protocolNo = static_cast<int16>(slot);
        reg[slot] = record;
    }
    return {formatDayFile(reg) == bytes};
}

QString DayArchive::dayFilePath() const {
    return monthFolder + QDir::separator() + dayFileName;
}

DayFileResult DayArchive::writeDayFile(const DayRegisterArray& reg) const {
    if (monthFolder.isEmpty() || dayFileName.isEmpty())
        return {false, QStringLiteral("Папка архива результатов не подготовлена.")};
    // A month folder removed while the program runs is made again; the write itself reports
    // whatever still stands in the way.
    if (!QFileInfo(monthFolder).exists())
        QDir().mkpath(monthFolder);
    QString error;
    if (!writeFileAtomically(dayFilePath(), formatDayFile(reg), &error))
        return {false, error};
    return {};
}

DayFileResult DayArchive::writeRegisterTo(const QString& path, const DayRegisterArray& reg) {
    QString error;
    if (!writeFileAtomically(path, formatDayFile(reg), &error))
        return {false, error};
    return {};
}

DayFileResult DayArchive::readDayFile(DayRegisterArray& reg, DayFileReading* reading) const {
    const QString path = dayFilePath();
    QFile file(path);
    QString error;
    if (!openRegularFile(file, &error))
        return {false, error};
    const QByteArray bytes = file.readAll();
    const bool failed = file.error() != QFileDevice::NoError;
    const QString reason = russianSystemError(file.errorString());
    file.close();
    const DayFileReading read = parseDayFile(bytes, reg);
    if (reading)
        *reading = read;
    if (failed) {
        return {
            false,
            QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(QDir::toNativeSeparators(path), reason)};
    }
    return {};
}

namespace {

// path + ".bak", or ".bak2", ".bak3" … when that is taken.
QString freeBackupName(const QString& path) {
    const QString base = path + QStringLiteral(".bak");
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + QString::number(n);
    return candidate;
}

// Every used slot of older is in newer unchanged, and newer uses at least one slot more.
bool holdsAllAndMore(const DayRegisterArray& newer, const DayRegisterArray& older) {
    bool more = false;
    for (int n = 1; n <= kRegisterSlots; ++n) {
        if (!isFreeRecord(older[n]) && !(newer[n] == older[n]))
            return false;
        more = more || (isFreeRecord(older[n]) && !isFreeRecord(newer[n]));
    }
    return more;
}

// The temporary copies a save of the day file can leave behind: "<name>.XXXXXX".
QStringList strayCopies(const QString& folder, const QString& dayFileName) {
    QStringList found;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({dayFileName + QStringLiteral(".??????")}, QDir::Files)) {
        if (!name.mid(dayFileName.size() + 1).startsWith(QStringLiteral("bak")))
            found.append(dir.filePath(name));
    }
    return found;
}

} // namespace

DayFilePreparation DayArchive::prepare(const QString& programFolder, const QDate& today,
                                       DayRegisterArray& reg) {
    const QString yearFolder = programFolder + QString::number(today.year());
    if (!QFileInfo::exists(yearFolder))
        QDir().mkdir(yearFolder);
    monthFolder = monthFolderFor(programFolder, today);
    if (!QFileInfo::exists(monthFolder))
        QDir().mkdir(monthFolder);
    dayFileName = dayFileNameFor(today);
    monthGenitive = setMonthGenitive(today);

    DayFilePreparation result;
    const QString path = dayFilePath();
    const QFileInfo day(path);
    DayFileReading reading;
    if (day.exists() && day.isFile()) {
        static_cast<DayFileResult&>(result) = readDayFile(reg, &reading);
        if (!result.ok)
            return result;
    }

    // A save interrupted between writing its temporary copy and putting it in place.
    for (const QString& stray : strayCopies(monthFolder, dayFileName)) {
        QFile file(stray);
        QString ignored;
        if (!openRegularFile(file, &ignored))
            continue;
        DayRegisterArray candidate{};
        if (parseDayFile(file.readAll(), candidate).exact && holdsAllAndMore(candidate, reg)) {
            reg = candidate;
            result.recoveredFrom = stray;
        }
    }

    const bool exists = day.exists() && day.isFile();
    if (exists && reading.exact && result.recoveredFrom.isEmpty())
        return result;
    if (exists && !reading.exact) {
        // The file as it was stays beside the rewritten one.
        const QString backup = freeBackupName(path);
        if (!QFile::copy(path, backup))
            return {{false, QStringLiteral("Не удалось сохранить копию файла «%1» перед его исправлением.")
                                .arg(QDir::toNativeSeparators(path))},
                    {},
                    {}};
        result.backupPath = backup;
    }
    static_cast<DayFileResult&>(result) = writeDayFile(reg);
    if (result.ok && !result.recoveredFrom.isEmpty())
        QFile::remove(result.recoveredFrom);
    return result;
}

} // namespace zet
