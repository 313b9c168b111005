#pragma once
// The day register of examinees and the state of the exam being prepared or run.

#include "model/database.h"

#include <array>

namespace zet {

constexpr int kRegisterSlots = 100;

struct ExamineeRecord {
    int16 ProtocolNo = 0;
    int16 ProfileNo = 0; // 0 marks a free slot
    QString ProfileName;
    QString FullName;
    int16 BirthYear = 0;
    QString JobTitle;
    int16 Seniority = 0;
    int16 Grade = 0;
    int16 AskedCount = 0;
    int16 RightCount = 0;
    int16 TimeSpent = 0;
    QString PersonnelNo;

    bool operator==(const ExamineeRecord&) const = default;
};

// A slot is free only while its record is wholly empty; a finished record always has a
// profile number, and a damaged one that still holds something is never given away.
inline bool IsFreeRecord(const ExamineeRecord& r) {
    return r == ExamineeRecord{};
}

// DayRegister(1..100); index 0 unused.
using DayRegisterArray = std::array<ExamineeRecord, kRegisterSlots + 1>;

struct ExamState {
    DayRegisterArray DayRegister{};
    int16 CurrentExaminee = 0;
    int16 CurrentProfile = 0;
    int16 QuestionNo = 0;
    int16 CorrectCount = 0;
    int16 ExamRunning = 0;
    int16 AnswerLock = 0;
    int16 ChosenPosition = 0;

    // CurrentExaminee = first free slot; unchanged when all are used.
    void FindFreeSlot();
    // The first free slot after slot n, or 0 when there is none.
    int16 NextFreeSlotAfter(int n) const;
    bool IsFree(int n) const { return n >= 1 && n <= kRegisterSlots && IsFreeRecord(DayRegister[n]); }
};

// The four grade tests, applied one after another; the last one that holds decides.
int16 GradeExam(int16 correctCount, const ExamProfile& profile);

} // namespace zet
