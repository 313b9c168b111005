#pragma once
// Writing the questions of a database (all themes or one) to a file of one of the formats.

#include "model/database.h"
#include "questionbank/questionbank.h"

namespace zet {

// The questions of theme (1..20), or of every theme when theme is 0, in the neutral form.
// Each theme with a title or questions is a category ("Тема N"); a question is there when it
// has text behind its group flags. The right answer comes first, then the wrong ones that are
// not empty. With theme 0 the header lines and the profiles that differ from those of a new
// database come along too.
QuestionBank bankFromDatabase(const Database& db, int theme = 0);

struct ExportResult {
    QString error;      // Russian reason when the file could not be written
    int questionCount = 0;
    int themeCount = 0;
    QStringList lost;   // what the format could not keep, one sentence each
    bool ok() const { return error.isEmpty(); }
};

// Writes the file as UTF-8 through a save file, so a failed write leaves the old file as it was.
ExportResult exportQuestions(const Database& db, const QString& path, BankFormat format, int theme = 0);

} // namespace zet
