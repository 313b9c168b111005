#include "exam/dayregister.h"

#include <algorithm>

namespace zet {

void ExamState::FindFreeSlot() {
    if (const int16 n = NextFreeSlotAfter(0))
        CurrentExaminee = n;
}

int16 ExamState::NextFreeSlotAfter(int n) const {
    for (int slot = std::max(n + 1, 1); slot <= kRegisterSlots; ++slot) {
        if (IsFree(slot))
            return static_cast<int16>(slot);
    }
    return 0;
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
