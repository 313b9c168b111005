#pragma once
// Question banks as learning systems exchange them (GIFT, Aiken, Moodle XML) and the
// program's own plain text form, read into one neutral form that the importer places into a
// database and that the exporter writes out again.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace zet {

enum class BankFormat { Gift, Aiken, MoodleXml, PlainText };

// The kinds of question the formats know. Only single choice and true/false can be placed
// into a database; the others are skipped with their kind named in the report.
enum class QuestionKind {
    SingleChoice,
    TrueFalse,
    MultipleChoice, // several answers each worth part of the mark
    ShortAnswer,
    Numerical,
    Matching,
    Essay,
    Cloze,
    Description, // text without answers
    Other,
};

struct BankAnswer {
    QString text;
    double weight = 0; // percent of the mark: 100 for the right answer, 0 (or below) for a wrong one
    int line = 0;      // line of the source where the answer stands, 0 when unknown
    bool isRight() const { return weight >= 99.995; }
};

struct BankQuestion {
    QString category; // key of the category the question belongs to; empty for none
    QString title;    // the source's own name for the question, may be empty
    QString text;     // plain text, line breaks as CR LF
    QuestionKind kind = QuestionKind::SingleChoice;
    QString kindName; // the source's word for a kind it does not know (Moodle type name)
    std::vector<BankAnswer> answers;
    std::optional<std::array<bool, 10>> groups; // group flags written in the source (plain text form)
    int line = 0;                               // line where the question begins, 0 when unknown
    // The source shows a picture or plays a sound with the question (an <img>, an audio or video
    // link, an embedded file); the text alone may not be the whole question.
    bool media = false;
};

struct BankCategory {
    QString key;   // as written in the source (a Moodle path or "Тема N")
    QString title; // what becomes the theme title
    int theme = 0; // theme number given by the source (plain text form "Тема N:"), 0 for none
    int line = 0;
};

struct BankProfile {
    int number = 0; // 1..20
    int line = 0;
    QString name;
    std::optional<int> questionCount, timeLimit;
    std::optional<std::array<int, 3>> thresholds; // least right answers for 5, 4 and 3
    std::vector<int> slotThemes;                  // theme numbers of the source, slot 1 first
    std::optional<std::array<bool, 10>> admitted; // admitted groups; all when not given
    std::array<QString, 10> groupTitles;
};

// Something the reader noticed in the source: a line it could not understand, a value out of
// range, feedback it dropped. Never fatal; the report shows it.
struct BankNote {
    int line = 0;
    QString text;
};

// Questions of one category that a reader passed over because none of them can ever be placed
// (see QuestionBank::placeableOnly): only their numbers are kept, for the import's report.
struct BankDropped {
    QString category;
    int count = 0;
    int importable = 0;        // of them, the ones that can be placed as they are (importProblem)
    int mediaOnly = 0;         // the ones that can be placed only as text (keepMediaText)
    int emptyAnswers = 0;      // empty answers of the importable ones: a warning each
    int mediaEmptyAnswers = 0; // the same of the mediaOnly ones
};

struct QuestionBank {
    QString testName, author, date; // header lines of the plain text form
    std::vector<BankCategory> categories;
    std::vector<BankQuestion> questions;
    std::vector<BankProfile> profiles; // plain text form only
    std::vector<BankNote> notes;
    std::vector<BankDropped> dropped;
    // Set for an import: a database takes at most a hundred questions of a category, so once a
    // category has a hundred that can be placed, its later questions are only counted (in
    // dropped), except for as many as the report lists by name. A huge file then costs memory
    // for what can be imported, not for all it holds.
    bool placeableOnly = false;

    const BankCategory* category(const QString& key) const;
    // Adds the category when it is new; returns its key.
    QString addCategory(const QString& key, const QString& title, int theme, int line);
    // Adds a question read. The question added before it is complete by then and is decided on
    // (see placeableOnly); readers call settle() for the last one.
    void addQuestion(BankQuestion&& question);
    void settle();

private:
    std::size_t m_settled = 0;       // questions decided on
    std::vector<std::pair<QString, int>> m_placeable; // importable questions kept, by category
    int m_keptBeyond = 0;            // kept although they cannot be placed, for the report
    int m_keptEmptyStrict = 0, m_keptEmptyLoose = 0; // of those kept for a warning they get
};

// Readers. None of them fails as a whole: what cannot be understood becomes a note and the
// rest is read.
QuestionBank parseGift(const QString& text, bool placeableOnly = false);
QuestionBank parseAiken(const QString& text, bool placeableOnly = false);
QuestionBank parseMoodleXml(QString text, bool placeableOnly = false);
QuestionBank parsePlainText(const QString& text, bool placeableOnly = false);
// The text is taken over (moved in, a large file is not held twice).
QuestionBank parseBank(QString text, BankFormat format, bool placeableOnly = false);

// Writers: the whole bank as UTF-8 text of the format (CR LF line ends except in XML).
// Things the format cannot hold (group flags, profiles, line breaks in Aiken) are added to
// lost, one Russian sentence each, when lost is given.
QString writeGift(const QuestionBank& bank, QStringList* lost = nullptr);
QString writeAiken(const QuestionBank& bank, QStringList* lost = nullptr);
QString writeMoodleXml(const QuestionBank& bank, QStringList* lost = nullptr);
QString writePlainText(const QuestionBank& bank, QStringList* lost = nullptr);
QString writeBank(const QuestionBank& bank, BankFormat format, QStringList* lost = nullptr);

// "gift", "aiken", "moodlexml", "text" and back.
std::optional<BankFormat> formatFromName(const QString& name);
QString formatName(BankFormat format);
// Russian name for reports and file dialogs, e.g. "Moodle XML".
QString formatTitle(BankFormat format);
// Filters for a file dialog, one per format, e.g. "GIFT (*.gift *.txt)".
QStringList formatFilters();
// The format a file's name and content suggest: .gift, .xml, .aiken by name; otherwise the
// content decides (Moodle XML, Aiken's "ANSWER:" lines, the plain text form's "? " lines,
// GIFT's answer blocks).
BankFormat guessFormat(const QString& fileName, const QString& content);

enum class TextEncoding { Detect, Utf8, Windows1251 };
std::optional<TextEncoding> encodingFromName(const QString& name); // "utf-8", "windows-1251"

// Text of a file's bytes: a byte order mark decides; otherwise bytes that are valid UTF-8
// are read as UTF-8 and anything else as Windows-1251. A forced encoding is taken as given
// (a UTF-8 mark is still dropped).
QString decodeText(const QByteArray& bytes, TextEncoding encoding = TextEncoding::Detect,
                   TextEncoding* found = nullptr);

// The plain text of HTML: tags dropped, <br>, <p>, <div>, <li> and the like become line
// breaks (CR LF, never an empty line), runs of white space (line breaks of the source too) one
// blank, named and numeric entities decoded. A "<" not followed by a letter, "/", "!" or "?"
// is a character, as browsers read it.
QString htmlToPlainText(const QString& html);

// Whether HTML shows a picture or plays a sound: <img>, <audio>, <video>, <object>, <embed>,
// a "@@PLUGINFILE@@" link or a link to a sound or video file.
bool htmlHasMedia(const QString& html);

// A short name of a question for reports: its title, otherwise the start of its text.
QString questionLabel(const BankQuestion& question);
// Russian name of a kind, e.g. "эссе", "на соответствие".
QString kindTitle(const BankQuestion& question);

} // namespace zet
