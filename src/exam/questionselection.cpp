#include "exam/questionselection.h"

#include "exam/random.h"

namespace zet {

namespace {

// The group flags take the first ten characters of a question's stored text.

bool validTheme(int t) {
    return t >= 1 && t <= kThemeCount;
}

} // namespace

void QuestionSelection::shuffleThemeQuestions(int16 t) {
    if (!validTheme(t))
        return;
    auto& order = questionOrder[t];

    // Every number from 1 to n takes part, gaps with short or empty texts included.
    order.fill(0);
    order[0] = themeQuestionCount(m_db, t);

    m_rng.reseed();

    const int n = order[0];
    const long attempts = 10L * n;
    for (int k = 1; k <= n; ++k) {
        for (long attempt = 0; attempt < attempts; ++attempt) {
            const float r = m_rng.next();
            int v = static_cast<int>(static_cast<float>(n) * r) + 1;
            if (v > n) // r is below 1, so this only guards against a faulty source
                v = n;
            bool taken = false;
            for (int i = 1; i <= n; ++i) {
                if (order[i] == v) {
                    taken = true;
                    break;
                }
            }
            if (!taken) {
                order[k] = static_cast<int16>(v);
                break;
            }
        }
        // After all attempts failed the position keeps 0; the draw skips it.
    }
}

int16 QuestionSelection::themeQuestionCount(const Database& db, int16 t) {
    if (!validTheme(t))
        return 0;
    for (int q = kQuestionSlots; q >= 1; --q) {
        if (holdsQuestion(db.questions(t, q, 0)))
            return static_cast<int16>(q);
    }
    return 0;
}

void QuestionSelection::shuffleAllThemes() {
    for (int t = 1; t <= kThemeCount; ++t)
        shuffleThemeQuestions(static_cast<int16>(t));
}

bool QuestionSelection::isEligible(const QString& questionPart0, const ExamProfile& profile) {
    for (int j = 0; j < kGroupCount; ++j) {
        if (questionInGroup(questionPart0, j) && admitsGroup(profile.groups[j]))
            return true;
    }
    return false;
}

void QuestionSelection::beginExam() {
    for (auto& asked : m_asked)
        asked.reset();
}

bool QuestionSelection::hasUnaskedQuestion(int t, const ExamProfile& profile) const {
    // The database may hold more questions than the theme's order until the order is rebuilt
    // at its next wrap, so the count is taken from the database.
    const int n = themeQuestionCount(m_db, static_cast<int16>(t));
    for (int q = 1; q <= n; ++q) {
        if (!m_asked[t].test(q) && isEligible(m_db.questions(t, q, 0), profile))
            return true;
    }
    return false;
}

int16 QuestionSelection::drawQuestion(int16 slot, const ExamProfile& profile, int16& wrapCounter) {
    if (slot < 1 || slot > kSlotCount)
        return 0;
    const int t = profile.slotTheme[slot];
    if (!validTheme(t))
        return 0;

    auto& cursor = themeCursor[t];
    const bool skipAsked = hasUnaskedQuestion(t, profile);
    // The first asked question passed over: taken when the passes end without an unasked one
    // (one the shuffle left out of the order), as a repeat is better than no question.
    int16 passedOver = 0;
    // Each pass ends in a wrap and the third wrap ends the draw, so this loop is bounded.
    for (;;) {
        ++cursor;
        if (cursor > questionOrder[t][0]) {
            cursor = 1;
            ++wrapCounter;
            if (wrapCounter >= 3) {
                wrapCounter = 0;
                if (passedOver != 0)
                    m_asked[t].set(passedOver);
                return passedOver;
            }
            shuffleThemeQuestions(static_cast<int16>(t));
        }
        const int16 q = questionOrder[t][cursor];
        if (q < 1 || q > kQuestionSlots)
            continue; // a position the shuffle left unfilled is never shown
        if (!isEligible(m_db.questions(t, q, 0), profile))
            continue;
        if (skipAsked && m_asked[t].test(q)) {
            if (passedOver == 0)
                passedOver = q;
            continue;
        }
        m_asked[t].set(q);
        return q;
    }
}

} // namespace zet
