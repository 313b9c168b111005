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

void Database::startNew(const QString& testName, const QString& author, const QDate& created) {
    newDatabase();
    databaseHeader[1] = kVersionMarker;
    databaseHeader[2] = testName;
    databaseHeader[3] = author;
    databaseHeader[4] = fixedDateText(created);
}

QString questionValue(const std::array<bool, kGroupCount>& groups, const QString& text) {
    QString value;
    value.reserve(kGroupCount + text.size());
    for (bool inGroup : groups)
        value += inGroup ? QLatin1Char('1') : QLatin1Char('0');
    return value + text;
}

bool questionInGroup(const QString& value, int k) {
    return k >= 0 && k < kGroupCount && k < value.size() && value.at(k) == QLatin1Char('1');
}

QString questionText(const QString& value) {
    return value.mid(kGroupCount);
}

QString groupEntry(const GroupRecord& group) {
    return group.flag + group.title;
}

GroupRecord groupRecord(const QString& entry) {
    return {entry.left(1), entry.mid(1)};
}

QString fixedDateText(const QDate& date) {
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

} // namespace zet
