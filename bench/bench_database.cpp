// Loads and saves a fully filled database and, in the same run, reads and writes the same
// number of bytes plainly; prints load/plain-read and save/plain-write as ratios. "load" reads
// over the model of the previous load, "first load" into a model that holds no strings yet.

#include "benchtools.h"
#include "model/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zet;

using namespace zet::bench;

namespace {

void fill(Database& db) {
    db.newDatabase();
    db.databaseHeader[2] = QStringLiteral("Проверка знаний");
    for (int t = 1; t <= kThemeCount; ++t)
        for (int q = 0; q <= kQuestionSlots; ++q)
            for (int p = 0; p < kParts; ++p)
                db.questions(t, q, p) =
                    QStringLiteral("1111111111Тема %1, вопрос %2, часть %3: ").arg(t).arg(q).arg(p) +
                    QString(120, QChar(u'ж'));
    for (int i = 1; i <= kProfileCount; ++i)
        db.profiles[i].name = QStringLiteral("Профиль %1").arg(i);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTemporaryDir dir;
    Database db;
    fill(db);
    db.databasePath = dir.filePath(QStringLiteral("Data.zet"));
    if (!db.saveDatabase().ok()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(db.databasePath));
        return 1;
    }
    const qint64 size = QFile(db.databasePath).size();
    const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));
    const QByteArray plainBytes(size, 'x');

    const double save = medianMs(runs, [&] { db.saveDatabase(); });
    const double plainWrite = medianMs(runs, [&] {
        QSaveFile f(plainPath);
        f.open(QIODevice::WriteOnly);
        f.write(plainBytes);
        f.commit();
    });
    // Each load is timed beside a plain read of the same number of bytes, so that what else
    // runs on the computer weighs on both alike.
    Database reader;
    reader.databasePath = db.databasePath;
    std::vector<double> loads, firstLoads, plainReads;
    for (int i = 0; i < runs; ++i) {
        loads.push_back(medianMs(1, [&] { reader.loadDatabase(); }));
        // The first load of a program run goes into a model that holds no strings yet; each
        // model is made before and freed after its timed load.
        Database model;
        model.databasePath = db.databasePath;
        firstLoads.push_back(medianMs(1, [&] { model.loadDatabase(); }));
        plainReads.push_back(medianMs(1, [&] {
            QFile f(plainPath);
            f.open(QIODevice::ReadOnly);
            volatile qsizetype n = f.readAll().size();
            (void)n;
        }));
    }
    const double load = median(loads);
    const double firstLoad = median(firstLoads);
    const double plainRead = median(plainReads);

    std::printf("database of %lld bytes, median of %d runs\n", static_cast<long long>(size), runs);
    std::printf("load  %8.2f ms   plain read  %8.2f ms   ratio %.2f (aim <= 1.5)\n", load, plainRead,
                load / plainRead);
    std::printf("first load into a new model %8.2f ms   ratio %.2f\n", firstLoad, firstLoad / plainRead);
    std::printf("save  %8.2f ms   plain write %8.2f ms   ratio %.2f (target <= 3)\n", save, plainWrite,
                save / plainWrite);
    return 0;
}
