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

    // CurrentExaminee = first slot with ProfileNo 0; unchanged when all are used.
    void FindFreeSlot();
};

// The four grade tests, applied one after another; the last one that holds decides.
int16 GradeExam(int16 correctCount, const ExamProfile& profile);

} // namespace zet
