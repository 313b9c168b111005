#include "model/database.h"

#include <QDate>

namespace zet {

Database::Database()
    : m_questions(static_cast<std::size_t>((kThemeCount + 1) * (kQuestionSlots + 1) * kParts)) {}

void Database::NewDatabase() {
    for (QString& h : DatabaseHeader)
        h.clear();
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p)
                Questions(t, q, p).clear();
        }
    }
    for (int i = 1; i <= kProfileCount; ++i) {
        ExamProfile& pr = Profiles[i];
        for (QString& g : pr.Groups)
            g = QStringLiteral("1");
        pr.ExcellentMin = 9;
        pr.GoodMin = 7;
        pr.FairMin = 5;
        pr.Name.clear();
        pr.Number = static_cast<int16>(i);
        pr.QuestionCount = 10;
        pr.TimeLimit = 600;
        for (int s = 1; s <= kSlotCount; ++s)
            pr.SlotTheme[s] = 1;
    }
}

QString FixedDateText(const QDate& date) {
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

} // namespace zet
