// Properties of the question bank readers for any bytes: reading never fails as a whole,
// every question read is either placed into the database or named among the skipped ones,
// and everything placed fits the database file as it is (no cut, no replaced character).

#include "fuzzchecks.h"

#include "model/cp1251.h"
#include "model/database.h"
#include "questionbank/questionexport.h"
#include "questionbank/questionimport.h"

namespace zet::fuzz {

namespace {

QString checkBankBytes(QByteArrayView data, BankFormat format) {
    QuestionFile file;
    file.path = QStringLiteral("fuzz");
    file.format = format;
    file.bank = parseBank(decodeText(data.toByteArray()), format);

    static Database db;
    db.newDatabase();
    const ImportReport report = importQuestions(db, {file});
    const std::size_t read = file.bank.questions.size();
    if (static_cast<std::size_t>(report.importedCount()) + report.skipped.size() != read)
        return QStringLiteral("%1 questions read, %2 placed and %3 skipped")
            .arg(read)
            .arg(report.importedCount())
            .arg(report.skipped.size());
    for (const ImportEntry& e : report.skipped) {
        if (e.text.isEmpty())
            return QStringLiteral("a question was skipped without a reason");
    }
    int present = 0;
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                const EncodedText enc = encodeCp1251(db.questions(t, q, p));
                if (enc.replaced || enc.bytes.size() > kStoredTextBytes)
                    return QStringLiteral("theme %1, question %2, part %3 does not fit the file")
                        .arg(t)
                        .arg(q)
                        .arg(p);
            }
            if (q > 0 && db.questions(t, q, 0).size() > kGroupCount)
                ++present;
        }
    }
    if (present != report.importedCount())
        return QStringLiteral("%1 questions placed but %2 present").arg(report.importedCount()).arg(present);

    // What was placed exports and reads back as the same number of questions.
    const QuestionBank again = parseBank(writeBank(bankFromDatabase(db), format), format);
    if (static_cast<int>(again.questions.size()) != present)
        return QStringLiteral("%1 questions exported but %2 read back")
            .arg(present)
            .arg(again.questions.size());
    return {};
}

} // namespace

QString checkGiftBytes(QByteArrayView data, const QString&) {
    return checkBankBytes(data, BankFormat::Gift);
}

QString checkAikenBytes(QByteArrayView data, const QString&) {
    return checkBankBytes(data, BankFormat::Aiken);
}

QString checkMoodleXmlBytes(QByteArrayView data, const QString&) {
    return checkBankBytes(data, BankFormat::MoodleXml);
}

} // namespace zet::fuzz
