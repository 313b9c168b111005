#include "questionbank/questionexport.h"

#include "model/savefile.h"

namespace zet {

QuestionBank bankFromDatabase(const Database& db, int theme) {
    QuestionBank bank;
    const int first = theme == 0 ? 1 : theme;
    const int last = theme == 0 ? kThemeCount : theme;
    for (int t = first; t <= last; ++t) {
        const QString key = QStringLiteral("Тема %1").arg(t);
        const QString title = db.questions(t, 0, 0);
        bool any = !title.isEmpty();
        for (int q = 1; q <= kQuestionSlots; ++q) {
            const QString& head = db.questions(t, q, 0);
            if (!holdsQuestion(head))
                continue;
            any = true;
            BankQuestion question;
            question.category = key;
            question.text = questionText(head);
            std::array<bool, kGroupCount> groups{};
            for (int k = 0; k < kGroupCount; ++k)
                groups[static_cast<std::size_t>(k)] = questionInGroup(head, k);
            question.groups = groups;
            question.answers.push_back({db.questions(t, q, 1), 100, 0});
            for (int p = 2; p < kParts; ++p) {
                if (!db.questions(t, q, p).isEmpty())
                    question.answers.push_back({db.questions(t, q, p), 0, 0});
            }
            bank.questions.push_back(std::move(question));
        }
        if (any)
            bank.categories.push_back({key, title, t, 0});
    }
    if (theme != 0)
        return bank;

    bank.testName = db.databaseHeader[2];
    bank.author = db.databaseHeader[3];
    bank.date = db.databaseHeader[4];
    Database fresh;
    fresh.newDatabase();
    for (int i = 1; i <= kProfileCount; ++i) {
        const ExamProfile& pr = db.profiles[static_cast<std::size_t>(i)];
        ExamProfile expected = fresh.profiles[static_cast<std::size_t>(i)];
        if (pr == expected)
            continue;
        BankProfile p;
        p.number = i;
        p.name = pr.name;
        p.questionCount = pr.questionCount;
        p.timeLimit = pr.timeLimit;
        p.thresholds = std::array<int, 3>{pr.excellentMin, pr.goodMin, pr.fairMin};
        // The asked asked, and the others too when they were changed.
        int asked = std::clamp<int>(pr.questionCount, 0, kSlotCount);
        for (int s = asked + 1; s <= kSlotCount; ++s) {
            if (pr.slotTheme[s] != expected.slotTheme[s])
                asked = kSlotCount;
        }
        for (int s = 1; s <= asked; ++s)
            p.slotThemes.push_back(pr.slotTheme[s]);
        std::array<bool, kGroupCount> admitted{};
        for (int k = 0; k < kGroupCount; ++k) {
            const QString& g = pr.groups[static_cast<std::size_t>(k)];
            admitted[static_cast<std::size_t>(k)] = admitsGroup(g);
            p.groupTitles[static_cast<std::size_t>(k)] = groupRecord(g).title;
        }
        p.admitted = admitted;
        bank.profiles.push_back(std::move(p));
    }
    return bank;
}

ExportResult exportQuestions(const Database& db, const QString& path, BankFormat format, int theme) {
    ExportResult result;
    const QuestionBank bank = bankFromDatabase(db, theme);
    result.questionCount = static_cast<int>(bank.questions.size());
    result.themeCount = static_cast<int>(bank.categories.size());
    const QString text = writeBank(bank, format, &result.lost);
    if (!writeFileAtomically(path, text.toUtf8(), &result.error) && result.error.isEmpty())
        result.error = QStringLiteral("Файл «%1» не удалось записать.").arg(path);
    return result;
}

} // namespace zet
