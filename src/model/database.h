#pragma once
// The test database held in memory: header strings, the question bank of twenty themes
// and the twenty exam profiles, plus the path of the file it came from.
//
// Strings are kept as Unicode; they are converted to Windows-1251 only when a file is
// read or written (see cp1251.h).

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace zet {

using int16 = std::int16_t;

constexpr int kThemeCount = 20;       // themes 1..20 (theme 0 exists in memory only)
constexpr int kQuestionSlots = 100;   // questions 1..100 (question 0 holds the theme title)
constexpr int kParts = 6;             // part 0 = group flags + text, 1 = correct answer, 2..5 = wrong answers
constexpr int kProfileCount = 20;     // profiles 1..20
constexpr int kGroupCount = 10;       // groups 0..9
constexpr int kSlotCount = 15;        // question slots 1..15 of a profile
constexpr int kStoredTextBytes = 498; // longest string one record of the file holds (Windows-1251 bytes)

// Version marker stored as header string 1.
inline const QString kVersionMarker = QStringLiteral("zetr100");

struct ExamProfile {
    int16 number = 0;
    QString name;
    int16 timeLimit = 0;
    int16 questionCount = 0;
    int16 excellentMin = 0;
    int16 goodMin = 0;
    int16 fairMin = 0;
    std::array<int16, kSlotCount + 1> slotTheme{}; // index 1..15 used, 0 unused
    std::array<QString, kGroupCount> groups; // first character "1" admits the group, the rest is its title

    bool operator==(const ExamProfile&) const = default;
};

struct GroupRecord {
    QString flag;
    QString title;
};

// One value that could not be stored as it was typed.
struct StoredValueIssue {
    enum Kind { Truncated, Replaced };
    Kind kind;
    int record; // 1-based record number in the database file
    QString field; // Russian description of the value, e.g. "тема 3, вопрос 5, текст вопроса"
};

struct LoadResult {
    enum Status { Ok, Rejected };
    Status status = Ok;
    QString error; // why the file was rejected (missing, unreadable, wrong marker), Russian
    // Rejected for another reason than a missing file or a wrong version marker: not a
    // regular file, a link that leads nowhere, a read error, an empty file.
    bool unreadable = false;
    bool ok() const { return status == Ok; }
};

struct SaveResult {
    enum Status { Ok, WriteFailed, ForeignFile };
    Status status = Ok;
    QString error;                        // Russian reason when not Ok
    std::vector<StoredValueIssue> issues; // values cut to 498 bytes or with replaced characters
    bool ok() const { return status == Ok; }
};

struct SettingsResult {
    bool ok = true;
    QString error; // Russian reason when not ok
};

class Database {
public:
    Database();

    QString databasePath;  // full path of the current database file
    QString programFolder; // the program's folder, ending in the native separator
    std::array<QString, 10> databaseHeader;
    std::array<ExamProfile, kProfileCount + 1> profiles; // index 1..20 used
    std::array<GroupRecord, kGroupCount> groupNames;     // editors' work copy, not stored

    // questions(theme 0..20, question 0..100, part 0..5)
    QString& questions(int theme, int question, int part) {
        return m_questions[index(theme, question, part)];
    }
    const QString& questions(int theme, int question, int part) const {
        return m_questions[index(theme, question, part)];
    }

    // Reads the file named by databasePath. A rejected file (marker not exactly "zetr100",
    // missing, empty or unreadable) leaves databaseHeader[0] and [1] holding what was read
    // and every other value unchanged.
    LoadResult loadDatabase();

    // What loadDatabase() does with the bytes of the file: returns false when record 2 is not
    // exactly the marker, leaving databaseHeader[0] and [1] holding what was read and every
    // other value unchanged. Missing trailing records read as empty strings and zeros.
    [[nodiscard]] bool loadFromBytes(QByteArrayView bytes);

    // The whole model as saveDatabase() writes it (with databaseHeader[1] as it is now); values
    // cut to 498 bytes or with replaced characters are listed in issues.
    QByteArray fileBytes(std::vector<StoredValueIssue>* issues = nullptr) const;
    // The same into out, reusing its storage when it is not shared and of the file's size.
    void writeFileBytes(QByteArray& out, std::vector<StoredValueIssue>* issues = nullptr) const;

    // Sets the marker, then writes the whole model to databasePath atomically. An existing,
    // non-empty file that is not a database of this format is not replaced unless
    // replaceForeign is true.
    SaveResult saveDatabase(bool replaceForeign = false);

    // Resets to an empty database with twenty default profiles (does not touch the path,
    // the marker, the test name, the author or the date, and does not save).
    void newDatabase();
    // A new database as the program creates it: empty, with the marker, the test name, the
    // author and the creation date (does not touch the path or save).
    void startNew(const QString& testName, const QString& author, const QDate& created);

    // Settings file "zetr100.sys" in programFolder: one 256-byte record with databasePath.
    QString settingsPath() const;
    SettingsResult loadSettings();
    SettingsResult saveSettings() const;

    static int index(int theme, int question, int part) {
        return (theme * (kQuestionSlots + 1) + question) * kParts + part;
    }

private:
    // loadFromBytes() over bytes that are a mapped file when mapped is set (see RecordReader).
    bool loadFrom(QByteArrayView bytes, bool mapped);

    std::vector<QString> m_questions;
};

// True when the file exists, is not empty and its record 2 holds something other than the marker.
bool isForeignFile(const QString& path);
// The same for the bytes of a file (its first two records are enough).
bool isForeignDatabaseBytes(QByteArrayView bytes);

// The settings file without a database model. settingsFilePath() is "zetr100.sys" in the
// program folder (which ends in a separator).
QString settingsFilePath(const QString& programFolder);
// Reads the database path from the settings file; a missing or empty file gives an empty path.
[[nodiscard]] SettingsResult readSettingsFile(const QString& settingsPath, QString* databasePath);
// The database path a settings file of these bytes holds (only its first 256 bytes count).
QString databasePathFromSettingsBytes(QByteArrayView bytes);
// The 256-byte settings record holding databasePath; fails with a reason when the path has
// characters outside Windows-1251 or is longer than 254 bytes.
[[nodiscard]] SettingsResult settingsBytes(const QString& databasePath, QByteArray* record);

// The stored question text: one character a group ("1" puts the question in the group,
// "0" leaves it out), then the text.
QString questionValue(const std::array<bool, kGroupCount>& groups, const QString& text);
// Whether a stored question text puts the question in group k (0-based).
bool questionInGroup(const QString& value, int k);
// The text of a stored question text, without the group characters.
QString questionText(const QString& value);
// Whether the stored value is long enough to hold the group characters and a text.
inline bool holdsQuestion(const QString& value) {
    return value.size() > kGroupCount;
}

// A profile's group entry: its flag character ("1" admits the group), then the title.
QString groupEntry(const GroupRecord& group);
GroupRecord groupRecord(const QString& entry);
// Whether a profile's group entry admits its group.
inline bool admitsGroup(const QString& entry) {
    return entry.startsWith(QLatin1Char('1'));
}

// Today's date in the fixed header form MM-dd-yyyy.
QString fixedDateText(const QDate& date);

} // namespace zet
