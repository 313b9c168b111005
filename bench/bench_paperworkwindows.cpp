// The journal window's paperwork as the examiner sees it: the time from «Протокол…» to the
// print preview of a day of exams painted, and from «Статистика…» to the chart shown.
//
// Run: bench_paperworkwindows [exams of the day = 100] [--screenshots DIR]
// With --screenshots the preview and the statistics are saved into DIR
// (protocol-preview.png, statistics.png).

#include "../tests/journal/testentries.h"
#include "benchtools.h"
#include "journal/journalstore.h"
#include "journal/paperworksettings.h"
#include "ui/journal/journalactions.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journalwindow.h"
#include "ui/journal/questionstatisticsview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace zet;
using namespace zet::ui;

using namespace zet::bench;

namespace {

const QStringList kNames = {
    QStringLiteral("Алексеев Андрей Петрович"), QStringLiteral("Борисова Елена Юрьевна"),
    QStringLiteral("Васильев Олег Игоревич"),   QStringLiteral("Григорьев Сергей Ёлкин"),
    QStringLiteral("Дмитриева Анна Сергеевна"), QStringLiteral("Егоров Павел Николаевич")};

void fillJournal(const QString& folder, int exams) {
    JournalStore store(folder);
    store.recordImported({});
    for (int n = 0; n < exams; ++n) {
        JournalEntry e = test::finishedExam(QStringLiteral("Класс-1"), n, 10);
        e.date = QDate(2024, 3, 12);
        e.protocolNo = n + 1;
        e.fullName =
            kNames[n % kNames.size()] + (n < kNames.size() ? QString() : QStringLiteral(" %1").arg(n));
        e.jobTitle = n % 2 ? QStringLiteral("электромонтёр") : QStringLiteral("мастер участка");
        e.profileName = QStringLiteral("Электробезопасность, IV группа");
        e.testName = QStringLiteral("Правила по охране труда при эксплуатации электроустановок");
        for (int a = 0; a < e.answers.size(); ++a) {
            e.answers[a].theme = 1 + a % 4;
            e.answers[a].questionNo = 1 + (a * 7 + n) % 12;
            e.answers[a].questionText =
                QStringLiteral("Вопрос %1 темы %2").arg(e.answers[a].questionNo).arg(e.answers[a].theme);
            e.answers[a].right =
                (n * 7 + a * 3 + e.answers[a].questionNo * 5) % (3 + e.answers[a].questionNo % 6) != 0;
        }
        e.right = 0;
        for (const JournalAnswer& a : e.answers)
            e.right += a.right;
        e.asked = int(e.answers.size());
        e.grade = e.right >= 9 ? 5 : e.right >= 8 ? 4 : e.right >= 7 ? 3 : 2;
        store.record(e);
    }
    ProtocolSettings settings;
    settings.organisation = QStringLiteral("АО «Северная энергосеть»");
    settings.order = QStringLiteral("Приказ № 15 от 10.01.2024");
    settings.chair = {QStringLiteral("Петров П.П."), QStringLiteral("главный инженер")};
    settings.members = {{QStringLiteral("Сидорова А.Ё."), QStringLiteral("инженер по охране труда")},
                        {QStringLiteral("Кузнецов К.К."), QStringLiteral("начальник участка")}};
    PaperworkSettings(folder).writeProtocol(settings);
}

QPushButton* buttonNamed(QWidget* window, const QString& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quietPlatformNoise();
    int exams = 100;
    QString screenshots;
    for (int i = 1; i < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == QLatin1String("--screenshots") && i + 1 < argc)
            screenshots = QString::fromLocal8Bit(argv[++i]);
        else
            exams = std::atoi(argv[i]);
    }
    QTemporaryDir dir;
    fillJournal(dir.path(), exams);
    if (!screenshots.isEmpty())
        QDir().mkpath(screenshots);

    JournalWindow window(dir.path());
    new JournalActions(dir.path(), &window);
    window.show();
    QTest::qWait(300);

    QElapsedTimer timer;
    timer.start();
    double previewMs = -1;
    QTimer::singleShot(0, &app, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview) {
            std::fprintf(stderr, "no print preview\n");
            return;
        }
        QCoreApplication::processEvents();
        previewMs = double(timer.nsecsElapsed()) / 1e6;
        if (!screenshots.isEmpty()) {
            QTest::qWait(500);
            saveScreenshot(preview, screenshots, QStringLiteral("protocol-preview.png"));
        }
        preview->reject();
    });
    buttonNamed(&window, QStringLiteral("Протокол…"))->click();
    std::printf("protocol preview of %d exams shown: %.1f ms (aim 1000 ms, ratio %.2f)\n", exams, previewMs,
                previewMs / 1000);

    timer.restart();
    buttonNamed(&window, QStringLiteral("Статистика…"))->click();
    QCoreApplication::processEvents();
    const double statisticsMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("question statistics shown: %.1f ms\n", statisticsMs);
    if (!screenshots.isEmpty() && window.statisticsView()) {
        window.statisticsView()->resize(1100, 800);
        QTest::qWait(500);
        saveScreenshot(window.statisticsView(), screenshots, QStringLiteral("statistics.png"));
    }
    return previewMs < 0 ? 1 : 0;
}
