#include "exam/dayregister.h"

namespace zet {

void ExamState::FindFreeSlot() {
    for (int n = 1; n <= kRegisterSlots; ++n) {
        if (DayRegister[n].ProfileNo == 0) {
            CurrentExaminee = static_cast<int16>(n);
            return;
        }
    }
}

int16 GradeExam(int16 correctCount, const ExamProfile& profile) {
    // Each test stands on its own; with thresholds out of order several may hold and the
    // last one that holds decides. At least one always holds.
    const int c = correctCount;
    int16 grade = 0;
    if (c >= profile.ExcellentMin)
        grade = 5;
    if (c >= profile.GoodMin && c < profile.ExcellentMin)
        grade = 4;
    if (c >= profile.FairMin && c < profile.GoodMin)
        grade = 3;
    if (c < profile.FairMin)
        grade = 2;
    return grade;
}

} // namespace zet
