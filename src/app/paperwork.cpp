#include "app/paperwork.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QTextStream>

namespace zet {

namespace {

Paperwork* g_paperwork = nullptr;

// The folders the library is looked for in, in this order.
QStringList paperworkFolders() {
    const QString named = qEnvironmentVariable("RAZIVIDERUR_PAPERWORK_DIR");
    if (!named.isEmpty())
        return {named};
    const QString here = QCoreApplication::applicationDirPath();
    return {here, QDir::cleanPath(here + QLatin1Char('/') + QStringLiteral(ZET_PAPERWORK_FROM_BINDIR))};
}

} // namespace

QString paperworkLibraryName() {
    return QStringLiteral("razividerur-paperwork.so");
}

void usePaperwork(Paperwork* paperwork) {
    g_paperwork = paperwork;
}

Paperwork* loadPaperwork(QString* error) {
    if (g_paperwork)
        return g_paperwork;
    QStringList tried;
    QString reason;
    for (const QString& folder : paperworkFolders()) {
        const QString path = QDir(folder).absoluteFilePath(paperworkLibraryName());
        if (tried.contains(QDir::toNativeSeparators(path)))
            continue;
        tried << QDir::toNativeSeparators(path);
        if (!QFileInfo::exists(path))
            continue;
        // The library stays loaded when the loader goes: the objects it made live on.
        QPluginLoader loader(path);
        QObject* instance = loader.instance();
        if (!instance) {
            // Qt's own reason is English: it goes to the log, the user reads what it means.
            qWarning("%s", qUtf8Printable(loader.errorString()));
            reason = QStringLiteral("библиотека %1 не загружается (она повреждена или от другой версии программы)")
                         .arg(QDir::toNativeSeparators(path));
            continue;
        }
        if (auto* paperwork = qobject_cast<Paperwork*>(instance)) {
            g_paperwork = paperwork;
            return paperwork;
        }
        reason = QStringLiteral("библиотека %1 от другой версии программы").arg(QDir::toNativeSeparators(path));
    }
    if (reason.isEmpty())
        reason = QStringLiteral("не найдена библиотека %1 (искали: %2)")
                     .arg(paperworkLibraryName(), tried.join(QStringLiteral(", ")));
    if (error)
        *error = QStringLiteral("Журнал результатов, протоколы и выгрузки недоступны: %1. Остальная работа "
                                "программы (экзамены, регистрация, редактор вопросов) не затронута. "
                                "Переустановите программу.")
                     .arg(reason);
    return nullptr;
}

bool readStaffWorkbookThroughPaperwork(QByteArrayView bytes, StaffFile& result, QString& error) {
    QString why;
    Paperwork* paperwork = loadPaperwork(&why);
    if (!paperwork) {
        error = QStringLiteral("Книгу Excel прочитать нельзя. %1 Список в формате CSV загружается и без этой библиотеки.").arg(why);
        return false;
    }
    return paperwork->readStaffWorkbook(bytes, result, error);
}

int runPaperworkCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString error;
    Paperwork* paperwork = loadPaperwork(&error);
    if (!paperwork) {
        err << error << "\n";
        err.flush();
        return 1;
    }
    return paperwork->runCommand(args, out, err);
}

} // namespace zet
