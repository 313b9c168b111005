// The database file: 12,770 records of 500 bytes, one value at the start of each record.
// A string is a 2-byte little-endian length followed by Windows-1251 text; an integer is a
// 2-byte little-endian two's-complement value. The rest of a record is filler.

#include "model/cp1251.h"
#include "model/database.h"
#include "model/regularfile.h"
#include "model/systemerror.h"
#include "model/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <functional>

#include <sys/mman.h>
#include <unistd.h>

namespace zet {

namespace {

constexpr qsizetype kRecordSize = 500;
constexpr qsizetype kMaxStringBytes = kRecordSize - 2;
constexpr int kHeaderRecords = 10;
constexpr int kQuestionRecords = kThemeCount * (kQuestionSlots + 1) * kParts;
constexpr int kProfileRecords = 32;
constexpr int kRecordCount = kHeaderRecords + kQuestionRecords + kProfileCount * kProfileRecords;
static_assert(kRecordCount == 12770);

// Walks the records in file order; RecordReader and RecordWriter share the order through visitBody().
class RecordReader {
public:
    // mapped: the bytes are a file mapped into memory; the pages read are given back as the
    // reader goes on, so that a whole file is never resident at once.
    explicit RecordReader(QByteArrayView bytes, bool mapped = false) : m_bytes(bytes), m_mapped(mapped) {}

    QString string() {
        QString s;
        string(s);
        return s;
    }
    void string(QString& target) {
        const qsizetype at = next();
        if (at + 2 > m_bytes.size()) {
            target.clear();
            return;
        }
        qsizetype len = qFromLittleEndian<quint16>(m_bytes.constData() + at);
        len = std::min(std::min(len, kMaxStringBytes), m_bytes.size() - at - 2);
        decodeCp1251Into(QByteArrayView(m_bytes.constData() + at + 2, len), target);
    }
    int16 integer() {
        const qsizetype at = next();
        if (at + 2 > m_bytes.size())
            return 0;
        return qFromLittleEndian<qint16>(m_bytes.constData() + at);
    }

private:
    qsizetype next() {
        const qsizetype at = m_record++ * kRecordSize;
        if (m_mapped && at - m_released >= kReleaseBytes && at <= m_bytes.size())
            release(at);
        return at;
    }
    // Gives back the whole pages before at: they are read, and the file keeps them.
    void release(qsizetype at) {
        const qsizetype page = ::sysconf(_SC_PAGESIZE);
        const qsizetype end = at / page * page;
        if (end > m_released)
            ::madvise(const_cast<char*>(m_bytes.constData()) + m_released, std::size_t(end - m_released), MADV_DONTNEED);
        m_released = end;
    }
    static constexpr qsizetype kReleaseBytes = 1 << 20;

    QByteArrayView m_bytes;
    bool m_mapped = false;
    qsizetype m_record = 0;
    qsizetype m_released = 0; // the mapped bytes before this are given back
};

// Fills every byte of the file image, so a buffer of an earlier save can be written over.
// Either the whole image into one buffer, or a chunk of it at a time handed to a sink, so that
// a save never holds the 6.4 MB image.
class RecordWriter {
public:
    using Sink = std::function<bool(const QByteArray& chunk)>;

    explicit RecordWriter(QByteArray& out) : m_bytes(out), m_capacity(kRecordCount) {
        if (!out.isDetached() || out.size() != kRecordCount * kRecordSize)
            out = QByteArray(kRecordCount * kRecordSize, Qt::Uninitialized);
    }
    RecordWriter(QByteArray& chunk, Sink sink) : m_bytes(chunk), m_sink(std::move(sink)), m_capacity(kChunkRecords) {
        chunk = QByteArray(kChunkRecords * kRecordSize, Qt::Uninitialized);
    }

    // Hands the last part of the image to the sink; false when the sink refused any chunk.
    bool finish() {
        if (m_sink && m_ok && m_record % m_capacity != 0)
            m_ok = m_sink(m_bytes.first(m_record % m_capacity * kRecordSize));
        return m_ok;
    }

    template <typename Describe> void string(const QString& value, Describe&& field) {
        char* record = current();
        if (value.isEmpty()) { // most records of a database
            qToLittleEndian<quint16>(0, record);
            endRecord(record, 2);
            return;
        }
        EncodedText enc = encodeCp1251(value);
        if (enc.replaced)
            issues.push_back({StoredValueIssue::Replaced, static_cast<int>(m_record + 1), field()});
        if (enc.bytes.size() > kMaxStringBytes) {
            enc.bytes.truncate(kMaxStringBytes);
            issues.push_back({StoredValueIssue::Truncated, static_cast<int>(m_record + 1), field()});
        }
        qToLittleEndian<quint16>(static_cast<quint16>(enc.bytes.size()), record);
        std::memcpy(record + 2, enc.bytes.constData(), static_cast<std::size_t>(enc.bytes.size()));
        endRecord(record, 2 + enc.bytes.size());
    }
    void integer(int16 value) {
        char* record = current();
        qToLittleEndian<qint16>(value, record);
        endRecord(record, 2);
    }

    std::vector<StoredValueIssue> issues;

private:
    // About 2 MB: the page cache keeps parts written this large in large pieces, so that a load
    // of the file just written maps it as fast as after one write of the whole (smaller parts
    // made that load up to half as fast again).
    static constexpr qsizetype kChunkRecords = 4096;

    char* current() { return m_bytes.data() + m_record % m_capacity * kRecordSize; }
    // The filler behind a value is zero bytes.
    void endRecord(char* record, qsizetype used) {
        std::memset(record + used, 0, static_cast<std::size_t>(kRecordSize - used));
        ++m_record;
        if (m_sink && m_ok && m_record % m_capacity == 0)
            m_ok = m_sink(m_bytes);
    }

    QByteArray& m_bytes;
    Sink m_sink;
    qsizetype m_capacity;
    qsizetype m_record = 0;
    bool m_ok = true;
};

QString headerField(int i) {
    switch (i) {
    case 2:
        return QStringLiteral("название теста");
    case 3:
        return QStringLiteral("автор");
    case 4:
        return QStringLiteral("дата создания");
    default:
        return QStringLiteral("заголовок, строка %1").arg(i);
    }
}

QString questionField(int t, int q, int p) {
    if (q == 0 && p == 0)
        return QStringLiteral("тема %1, название темы").arg(t);
    const QString where = QStringLiteral("тема %1, вопрос %2, ").arg(t).arg(q);
    switch (p) {
    case 0:
        return where + QStringLiteral("текст вопроса");
    case 1:
        return where + QStringLiteral("правильный ответ");
    default:
        return where + QStringLiteral("неправильный ответ №%1").arg(p - 1);
    }
}

// Everything after the two header records, in file order. Used by the reader (Model is
// Database) and the writer (Model is const Database).
template <typename Model, typename Str, typename Int> void visitBody(Model& db, Str&& str, Int&& integer) {
    for (int i = 2; i < 10; ++i)
        str(db.databaseHeader[i], [i] { return headerField(i); });
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p)
                str(db.questions(t, q, p), [t, q, p] { return questionField(t, q, p); });
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        auto& pr = db.profiles[i];
        for (int k = 0; k < kGroupCount; ++k)
            str(pr.groups[k], [i, k] { return QStringLiteral("профиль %1, группа %2").arg(i).arg(k); });
        integer(pr.excellentMin);
        integer(pr.goodMin);
        integer(pr.fairMin);
        str(pr.name, [i] { return QStringLiteral("профиль %1, наименование").arg(i); });
        integer(pr.number);
        integer(pr.questionCount);
        integer(pr.timeLimit);
        for (int s = 1; s <= kSlotCount; ++s)
            integer(pr.slotTheme[s]);
    }
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

LoadResult Database::loadDatabase() {
    LoadResult result;
    QByteArray bytes;
    bool mapped = false;
    QFile file(databasePath);
    if (databasePath.isEmpty() || (!file.exists() && !QFileInfo(databasePath).isSymLink())) {
        result.error = QStringLiteral("Файл «%1» не найден.").arg(shown(databasePath));
    } else if (!openRegularFile(file, &result.error)) {
        // A folder, a FIFO, a device or a link to nowhere is no database; reading a FIFO would never end.
        result.unreadable = true;
    } else {
        // Map the file when possible; the bytes are only looked at while it stays open.
        const qint64 size = file.size();
        if (uchar* map = size > 0 ? file.map(0, size) : nullptr) {
            bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(map), size);
            mapped = true;
        } else
            bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            result.error = QStringLiteral("Файл «%1» не удалось прочитать: %2")
                               .arg(shown(databasePath), russianSystemError(file.errorString()));
            result.unreadable = true;
            bytes.clear();
            mapped = false;
        } else if (bytes.isEmpty()) {
            result.error = QStringLiteral("Файл «%1» пуст (0 байт).").arg(shown(databasePath));
            result.unreadable = true;
        }
    }

    if (!loadFrom(bytes, mapped)) {
        result.status = LoadResult::Rejected;
        if (result.error.isEmpty())
            result.error =
                QStringLiteral("Файл «%1» не является базой тестов этой версии.").arg(shown(databasePath));
    }
    return result;
}

bool Database::loadFromBytes(QByteArrayView bytes) {
    return loadFrom(bytes, false);
}

bool Database::loadFrom(QByteArrayView bytes, bool mapped) {
    RecordReader reader(bytes, mapped);
    reader.string(databaseHeader[0]);
    reader.string(databaseHeader[1]);
    if (databaseHeader[1] != kVersionMarker)
        return false;
    visitBody(
        *this, [&](QString& s, auto&&) { reader.string(s); }, [&](int16& v) { v = reader.integer(); });
    return true;
}

QByteArray Database::fileBytes(std::vector<StoredValueIssue>* issues) const {
    QByteArray bytes;
    writeFileBytes(bytes, issues);
    return bytes;
}

void Database::writeFileBytes(QByteArray& out, std::vector<StoredValueIssue>* issues) const {
    RecordWriter writer(out);
    writer.string(databaseHeader[0], [] { return headerField(0); });
    writer.string(databaseHeader[1], [] { return headerField(1); });
    visitBody(
        *this, [&](const QString& s, auto&& field) { writer.string(s, field); },
        [&](int16 v) { writer.integer(v); });
    if (issues)
        *issues = std::move(writer.issues);
}

SaveResult Database::saveDatabase(bool replaceForeign) {
    databaseHeader[1] = kVersionMarker;
    SaveResult result;
    if (!replaceForeign && isForeignFile(databasePath)) {
        result.status = SaveResult::ForeignFile;
        result.error =
            QStringLiteral("Файл «%1» не является базой тестов и не был заменён.").arg(shown(databasePath));
        return result;
    }
    std::vector<StoredValueIssue> issues;
    const bool written = writeFileAtomically(
        databasePath,
        [&](const std::function<bool(const QByteArray&)>& write) {
            QByteArray chunk;
            RecordWriter writer(chunk, write);
            writer.string(databaseHeader[0], [] { return headerField(0); });
            writer.string(databaseHeader[1], [] { return headerField(1); });
            visitBody(
                *this, [&](const QString& s, auto&& field) { writer.string(s, field); },
                [&](int16 v) { writer.integer(v); });
            issues = std::move(writer.issues);
            return writer.finish();
        },
        &result.error);
    if (!written) {
        result.status = SaveResult::WriteFailed;
        return result;
    }
    result.issues = std::move(issues);
    return result;
}

bool isForeignDatabaseBytes(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return false;
    RecordReader reader(bytes);
    reader.string();
    return reader.string() != kVersionMarker;
}

bool isForeignFile(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || file.size() == 0)
        return false;
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return isForeignDatabaseBytes(file.read(2 * kRecordSize));
}

} // namespace zet
