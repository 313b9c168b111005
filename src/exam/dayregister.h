#pragma once
// The day register of examinees and the state of the exam being prepared or run.

#include "model/database.h"

#include <array>

namespace zet {

constexpr int kRegisterSlots = 100;

struct ExamineeRecord {
    int16 protocolNo = 0;
    int16 profileNo = 0; // 0 marks a free slot
    QString profileName;
    QString fullName;
    int16 birthYear = 0;
    QString jobTitle;
    int16 seniority = 0;
    int16 grade = 0;
    int16 askedCount = 0;
    int16 rightCount = 0;
    int16 timeSpent = 0;
    QString personnelNo;

    bool operator==(const ExamineeRecord&) const = default;
};

// A slot is free only while its record is wholly empty; a finished record always has a
// profile number, and a damaged one that still holds something is never given away.
inline bool isFreeRecord(const ExamineeRecord& r) {
    return r == ExamineeRecord{};
}

// The day's examinees, slots 1..100; index 0 unused.
using DayRegisterArray = std::array<ExamineeRecord, kRegisterSlots + 1>;

struct ExamState {
    DayRegisterArray dayRegister{};
    int16 currentExaminee = 0;
    int16 currentProfile = 0;
    int16 questionNo = 0;
    int16 correctCount = 0;
    bool examRunning = false;
    bool answerLock = false;
    int16 chosenPosition = 0;

    // currentExaminee = first free slot; unchanged when all are used.
    void findFreeSlot();
    // The first free slot after slot n, or 0 when there is none.
    int16 nextFreeSlotAfter(int n) const;
    bool isFree(int n) const { return n >= 1 && n <= kRegisterSlots && isFreeRecord(dayRegister[n]); }
};

// The four grade tests, applied one after another; the last one that holds decides.
int16 gradeExam(int16 correctCount, const ExamProfile& profile);

} // namespace zet
