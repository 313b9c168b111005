#include "model/database.h"

#include <QDate>

namespace zet {

Database::Database()
    : m_questions(static_cast<std::size_t>((kThemeCount + 1) * (kQuestionSlots + 1) * kParts)) {}

void Database::newDatabase() {
    for (QString& h : databaseHeader)
        h.clear();
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p)
                questions(t, q, p).clear();
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& pr = profiles[i];
        for (QString& g : pr.groups)
            g = QStringLiteral("1");
        pr.excellentMin = 9;
        pr.goodMin = 7;
        pr.fairMin = 5;
        pr.name.clear();
        pr.number = static_cast<int16>(i);
        pr.questionCount = 10;
        pr.timeLimit = 600;
        for (int s = 1; s <= kSlotCount; ++s)
            pr.slotTheme[s] = 1;
    }
}

QString fixedDateText(const QDate& date) {
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

} // namespace zet
