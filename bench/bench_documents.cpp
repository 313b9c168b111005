// The paperwork, measured against its aims (ratios printed, nothing asserted):
//  - the knowledge-check protocol of a day of 100 exams written to PDF (aim: under 1 s);
//  - 100,000 journal rows exported to .xlsx (aim: under 5 s), and to .csv for comparison.
//
// Run: bench_documents [exams in the protocol = 100] [rows exported = 100000]

#include "cli/protocolcommand.h"
#include "documents/journaltables.h"
#include "documents/protocoldocument.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace zet;

namespace {

JournalEntry someExam(int n) {
    JournalEntry e;
    e.id = QUuid::createUuid();
    e.workstation = QStringLiteral("Класс-1");
    e.date = QDate(2024, 1, 1).addDays(n / 40);
    e.protocolNo = n % 100 + 1;
    e.profileNo = 1 + n % 3;
    e.profileName = QStringLiteral("Профиль %1").arg(e.profileNo);
    e.testName = QStringLiteral("Электробезопасность, группа III");
    e.fullName = QStringLiteral("Кузнецов Алексей Петрович %1").arg(n);
    e.birthYear = 1970 + n % 30;
    e.jobTitle = QStringLiteral("электромонтёр по ремонту");
    e.seniority = n % 25;
    e.personnelNo = QStringLiteral("Т-%1").arg(n);
    e.grade = 2 + n % 4;
    e.asked = 10;
    e.right = 4 + n % 7;
    e.secondsSpent = 300 + n % 200;
    e.startedAt = QDateTime(e.date, QTime(8, 0).addSecs(n % 30000), Qt::UTC);
    e.finishedAt = e.startedAt.addSecs(e.secondsSpent);
    return e;
}

// Processor time of this process: on a busy machine the wall time also counts the waits
// for a free core, so both are shown.
double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

void report(const char* what, double seconds, double cpu, double aimSeconds, const QString& file) {
    std::printf("%-36s %7.3f s (processor %7.3f s)  aim %4.1f s  ratio %5.2f  (%lld bytes)\n", what, seconds,
                cpu, aimSeconds, seconds / aimSeconds, static_cast<long long>(QFileInfo(file).size()));
}

} // namespace

int main(int argc, char* argv[]) {
    useOffscreenPlatformUnlessSet();
    QGuiApplication app(argc, argv);
    const int examCount = argc > 1 ? std::atoi(argv[1]) : 100;
    const int rowCount = argc > 2 ? std::atoi(argv[2]) : 100000;
    QTemporaryDir folder;

    ProtocolContent protocol;
    protocol.settings.organisation = QStringLiteral("АО «Северная энергосеть»");
    protocol.settings.order = QStringLiteral("приказ № 15 от 10.01.2024");
    protocol.settings.chair = {QStringLiteral("Петров Павел Павлович"), QStringLiteral("главный инженер")};
    for (int i = 0; i < 4; ++i)
        protocol.settings.members.append(
            {QStringLiteral("Член комиссии %1").arg(i + 1), QStringLiteral("инженер")});
    protocol.number = QStringLiteral("17");
    for (int n = 0; n < examCount; ++n) {
        JournalEntry e = someExam(n);
        e.date = QDate(2024, 3, 5);
        protocol.exams.append(e);
    }
    const QString pdf = folder.filePath(QStringLiteral("protocol.pdf"));
    QElapsedTimer timer;
    timer.start();
    double cpuStart = cpuSeconds();
    const JournalResult written = writeProtocolPdf(protocol, pdf);
    const double protocolSeconds = timer.nsecsElapsed() / 1e9;
    if (!written.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(written.error));
        return 1;
    }
    report(qPrintable(QStringLiteral("protocol of %1 exams to PDF").arg(examCount)), protocolSeconds,
           cpuSeconds() - cpuStart, 1.0, pdf);

    QList<JournalEntry> rows;
    rows.reserve(rowCount);
    for (int n = 0; n < rowCount; ++n)
        rows.append(someExam(n));
    const ExportTable table = examsTable(rows);
    for (const QString& name : {QStringLiteral("journal.xlsx"), QStringLiteral("journal.csv")}) {
        const QString file = folder.filePath(name);
        timer.restart();
        cpuStart = cpuSeconds();
        const JournalResult exported = writeTable(table, file);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!exported.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(exported.error));
            return 1;
        }
        report(qPrintable(QStringLiteral("%1 rows to %2").arg(rowCount).arg(QFileInfo(file).suffix())),
               seconds, cpuSeconds() - cpuStart, 5.0, file);
    }
    return 0;
}
