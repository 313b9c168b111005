#pragma once
// Direct access to the program core's state, for tests that set up a situation (a full
// register, a damaged profile, a database in memory) without going through the windows.

#include "app/appcore.h"

namespace zet {

class AppCoreTestAccess {
public:
    static Database& database(AppCore& core) { return core.m_db; }
    static ExamState& exam(AppCore& core) { return core.m_exam; }
    static DayArchive& archive(AppCore& core) { return core.m_archive; }
    static QuestionSelection& selection(AppCore& core) { return core.m_selection; }
    static AnswerShuffle& answers(AppCore& core) { return core.m_answers; }
    static PresentedQuestion presentQuestion(AppCore& core, int16 n) { return core.presentQuestion(n); }
};

inline Database& coreDatabase(AppCore& core) {
    return AppCoreTestAccess::database(core);
}
inline ExamState& coreExam(AppCore& core) {
    return AppCoreTestAccess::exam(core);
}
inline DayArchive& coreArchive(AppCore& core) {
    return AppCoreTestAccess::archive(core);
}
inline QuestionSelection& coreSelection(AppCore& core) {
    return AppCoreTestAccess::selection(core);
}
inline AnswerShuffle& coreAnswers(AppCore& core) {
    return AppCoreTestAccess::answers(core);
}

} // namespace zet
