#include "paperwork/paperworkmodule.h"

#include "paperwork/paperworkcommands.h"
#include "staff/staffxlsx.h"
#include "ui/journal/journalactions.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journalwindow.h"

namespace zet {

int PaperworkModule::runCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    return runPaperworkCommandLine(args, out, err);
}

QWidget* PaperworkModule::createJournalWindow(const JournalWindowSetup& setup, QWidget* parent) {
    auto* window = new ui::JournalWindow(setup.folder, parent);
    // The window's paperwork lives as long as the window.
    auto* actions = new ui::JournalActions(setup.folder, window);
    actions->setStaffList(setup.staff);
    if (setup.openQuestion)
        connect(window, &ui::JournalWindow::openQuestionRequested, window, setup.openQuestion);
    return window;
}

void PaperworkModule::setJournalServerState(QWidget* journalWindow, const QString& error, int unsent) {
    if (auto* window = qobject_cast<ui::JournalWindow*>(journalWindow))
        window->setServerState(error, unsent);
}

bool PaperworkModule::readStaffWorkbook(QByteArrayView bytes, StaffFile& result, QString& error) {
    return parseStaffXlsx(bytes, result, error);
}

PaperworkModule& paperworkModule() {
    static PaperworkModule module;
    return module;
}

} // namespace zet
