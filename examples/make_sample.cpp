// Builds a test database file from its readable source (see sample.txt for the format)
// through the program's own question import, held to a stricter rule: the sample must import
// whole, so every skipped question and every warning of the import counts as a mistake.
// Usage: make_sample <source.txt> <database.zet>
// Every mistake is reported as "<file>:<line>: <what>" (or "<file>: <what>") and no file is written.

#include "model/database.h"
#include "questionbank/questionimport.h"

#include <QFile>

#include <cstdio>

using namespace zet;

namespace {

int report(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 1;
}

QString mistake(const QString& source, const ImportEntry& entry) {
    const QString where = entry.line > 0 ? QStringLiteral("%1:%2").arg(source).arg(entry.line) : source;
    const QString what =
        entry.question.isEmpty() ? entry.text : entry.question + QStringLiteral(": ") + entry.text;
    return QStringLiteral("%1: %2").arg(where, what);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return report(QStringLiteral("usage: make_sample <source.txt> <database.zet>"));
    const QString source = QFile::decodeName(argv[1]);
    const QString target = QFile::decodeName(argv[2]);

    const QuestionFile file = readQuestionFile(source, BankFormat::PlainText, TextEncoding::Utf8);
    if (!file.ok())
        return report(file.error);

    Database db;
    db.newDatabase();
    const ImportReport imported = importQuestions(db, {file});
    std::vector<ImportEntry> mistakes = imported.skipped;
    mistakes.insert(mistakes.end(), imported.warnings.begin(), imported.warnings.end());
    if (db.databaseHeader[2].isEmpty())
        mistakes.push_back({{}, 0, {}, QStringLiteral("нет названия теста")});
    if (!mistakes.empty()) {
        for (const ImportEntry& entry : mistakes)
            report(mistake(source, entry));
        return 1;
    }

    db.databasePath = target;
    const SaveResult saved = db.saveDatabase();
    if (!saved.ok())
        return report(saved.error);
    return 0;
}
