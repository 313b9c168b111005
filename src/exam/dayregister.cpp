#include "exam/dayregister.h"

#include <algorithm>

namespace zet {

void ExamState::findFreeSlot() {
    if (const int16 n = nextFreeSlotAfter(0))
        currentExaminee = n;
}

int16 ExamState::nextFreeSlotAfter(int n) const {
    for (int slot = std::max(n + 1, 1); slot <= kRegisterSlots; ++slot) {
        if (isFree(slot))
            return static_cast<int16>(slot);
    }
    return 0;
}

int16 gradeExam(int16 correctCount, const ExamProfile& profile) {
    // Each test stands on its own; with thresholds out of order several may hold and the
    // last one that holds decides. At least one always holds.
    const int c = correctCount;
    int16 grade = 0;
    if (c >= profile.excellentMin)
        grade = 5;
    if (c >= profile.goodMin && c < profile.excellentMin)
        grade = 4;
    if (c >= profile.fairMin && c < profile.goodMin)
        grade = 3;
    if (c < profile.fairMin)
        grade = 2;
    return grade;
}

} // namespace zet
