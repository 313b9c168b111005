#include "ui/shell/archiveimportdialog.h"

#include "app/appcore.h"
#include "ui/shell/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

namespace zet::ui {

void importArchiveWithProgress(AppCore& core, QWidget* parent) {
    QProgressDialog progress(QStringLiteral("Перенос архива результатов в журнал…"), QStringLiteral("Отмена"), 0,
                             0, parent);
    progress.setObjectName(QStringLiteral("archiveImportProgress"));
    progress.setWindowTitle(QStringLiteral("Перенос архива в журнал"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const ArchiveImportReport report = core.importArchiveToJournal([&progress](int done, int total, const QString&) {
        progress.setMaximum(total);
        progress.setValue(done);
        progress.setLabelText(QStringLiteral("Перенос архива результатов в журнал: файл %1 из %2").arg(done).arg(total));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();

    QString text = report.cancelled ? QStringLiteral("Перенос архива в журнал прерван.\n\n")
                                    : QStringLiteral("Перенос архива в журнал закончен.\n\n");
    text += QStringLiteral("Файлов результатов найдено: %1, прочитано: %2, пропущено повреждённых: %3.\n"
                           "Экзаменов добавлено в журнал: %4, уже были в журнале: %5.")
                .arg(report.filesFound)
                .arg(report.filesImported)
                .arg(report.damaged.size())
                .arg(report.examsAdded)
                .arg(report.examsAlreadyThere);
    if (!report.damaged.isEmpty()) {
        text += QStringLiteral("\n\nПовреждённые файлы (пропущены целиком):");
        for (const QString& damaged : report.damaged)
            text += QStringLiteral("\n") + QDir::toNativeSeparators(damaged);
    }
    if (!report.result.ok)
        text += QStringLiteral("\n\n") + report.result.error;
    showMessage(parent, text);
}

} // namespace zet::ui
