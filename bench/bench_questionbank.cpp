// Imports 2,000 questions (a GIFT file of 20 categories with 100 questions each, some HTML
// and escapes in it) into a new database and, in the same run, loads the database that
// import writes; prints import/load as a ratio, with both times.

#include "benchtools.h"
#include "model/database.h"
#include "questionbank/questionimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zet;

using namespace zet::bench;

namespace {

QByteArray giftOf2000() {
    QString text;
    for (int c = 1; c <= 20; ++c) {
        text += QStringLiteral("$CATEGORY: $course$/top/Раздел %1\n\n").arg(c);
        for (int q = 1; q <= 100; ++q) {
            text += QStringLiteral("::Вопрос %1.%2::[html]<p>Что нужно сделать в случае %2 "
                                   "по&nbsp;разделу %1\\: <b>выберите</b> ответ?</p> {\n")
                        .arg(c)
                        .arg(q);
            text += QStringLiteral("\t=Правильное действие номер %1#Верно.\n").arg(q);
            for (int w = 1; w <= 4; ++w)
                text += QStringLiteral("\t~Неправильное действие %1 \\= вариант %2\n").arg(q).arg(w);
            text += QStringLiteral("}\n\n");
        }
    }
    return text.toUtf8();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("bank.gift"));
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly) || f.write(giftOf2000()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
            return 1;
        }
    }
    const QString target = dir.filePath(QStringLiteral("bank.zet"));

    int imported = 0;
    // From the file on disk to the saved database, as the command does it.
    const double importMs = medianMs(runs, [&] {
        Database db;
        db.newDatabase();
        db.databasePath = target;
        const ImportReport report = importQuestions(db, {readQuestionFile(source)});
        imported = report.importedCount();
        db.saveDatabase(true);
    });
    const double loadMs = medianMs(runs, [&] {
        Database db;
        db.databasePath = target;
        db.loadDatabase();
    });
    if (imported != 2000) {
        std::fprintf(stderr, "imported %d questions instead of 2000\n", imported);
        return 1;
    }
    std::printf("import of 2000 questions (read, place, save): %.1f ms\n", importMs);
    std::printf("load of the database it writes:              %.1f ms\n", loadMs);
    std::printf("import / load: %.1f\n", importMs / loadMs);
    return 0;
}
