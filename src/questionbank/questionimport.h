#pragma once
// Reading question files and placing their questions into a database.
//
// The importer changes only the Database it is given and never saves it: to show a preview,
// run it on a copy and keep the copy when the user agrees (the database is then saved once).

#include "model/database.h"
#include "questionbank/questionbank.h"

#include <QMap>

#include <optional>
#include <vector>

namespace zet {

// One file read into the neutral form.
struct QuestionFile {
    QString path;
    BankFormat format = BankFormat::Gift;
    TextEncoding encoding = TextEncoding::Utf8; // the one found (or forced)
    QuestionBank bank;
    QString error; // Russian reason when the file could not be read; the bank is empty then
    bool ok() const { return error.isEmpty(); }
    QString name() const; // the file's name without its folder, as the report shows it
};

// Question files above this size are refused: nobody writes so many questions by hand, and
// reading one costs several times its size in memory.
constexpr qint64 kMaxQuestionFileBytes = 64 * 1024 * 1024;

// Reads and parses a file. Without a format the name and the content decide (guessFormat).
QuestionFile readQuestionFile(const QString& path, std::optional<BankFormat> format = std::nullopt,
                              TextEncoding encoding = TextEncoding::Detect);

struct ImportOptions {
    int targetTheme = 0;               // 1..20: every question goes to this theme; 0: by category
    QMap<QString, int> categoryThemes; // category key → theme 1..20; keys not given take the default
    std::array<bool, kGroupCount> groups{true, true, true, true, true, true, true, true, true, true};
    // A question with a picture or a sound is skipped, since its text alone may not make sense;
    // with this set its text is imported with a warning.
    bool keepMediaText = false;
};

// Why a question of a file cannot be placed into a database whatever its free positions are
// (its kind, its answers, its pictures); empty when it can. line: the line to name, when the
// reason has one of its own.
QString importProblem(const BankQuestion& question, const ImportOptions& options, int* line = nullptr);

// Where a category goes. The default: a theme whose title equals the category's title; else the
// theme number the source names, when that theme is free; else the next free theme (no title
// and no questions) not given to another category. theme 0 means no free theme was left.
// Categories of a learning system are nested ("Охрана труда/Общие"); a theme is titled by the
// last part of the path, or by as many parts as keep it apart from another category's.
struct CategoryPlan {
    QString key;   // "" for questions without a category
    QString title; // what the theme is called when it is new
    QString path;  // the whole path for the examiner, parts joined by "/"; "" for no category
    int theme = 0;
    bool newTheme = false; // the theme was free before the import
    int questionCount = 0; // questions of this category in the files
    int importable = 0;    // of them the ones that can be imported (importProblem is empty)
};
std::vector<CategoryPlan> planCategories(const Database& db, const std::vector<QuestionFile>& files,
                                         const ImportOptions& options = {});

struct ImportEntry {
    QString file; // file name, empty for remarks on the whole import
    int line = 0; // line in the file, 0 when none
    QString question; // label of the question («title» or «start of text»), may be empty
    QString text;     // reason for skipping, or the warning
    QString toString() const;
};

struct ThemeTally {
    int theme = 0;
    QString title;
    bool newTheme = false;
    int added = 0;
};

struct ImportReport {
    std::vector<ThemeTally> themes; // themes that received questions, by theme number
    std::vector<ImportEntry> skipped;
    std::vector<ImportEntry> warnings;
    // Skipped questions and warnings of questions a reader only counted (BankDropped); they
    // follow more than kListedEntries of the entries above, so no list shows them by name.
    int moreSkipped = 0;
    int moreWarnings = 0;
    std::vector<int> profiles; // profile numbers taken from the files
    int importedCount() const;
    int skippedCount() const { return int(skipped.size()) + moreSkipped; }
    int warningCount() const { return int(warnings.size()) + moreWarnings; }
    // Russian, several lines, for the terminal or (planned) a preview of what is to be done.
    // Long lists show their first kListedEntries entries and then how many more there are.
    QString toText(bool planned = false) const;
    static constexpr int kListedEntries = 100;
};

// Places the questions (and the profiles and header lines of the plain text form) into db.
// Questions go to the first free positions 1..100 of their theme (a position is free when it
// holds no question text); the right answer to part 1, the wrong ones to parts 2..5.
ImportReport importQuestions(Database& db, const std::vector<QuestionFile>& files,
                             const ImportOptions& options = {});

} // namespace zet
