#pragma once
// The paperwork behind its interface (app/paperwork.h): what the library razividerur-paperwork
// gives the program. Tests that link the paperwork in hand paperworkModule() to usePaperwork().

#include "app/paperwork.h"

#include <QObject>

namespace zet {

class PaperworkModule : public QObject, public Paperwork {
    Q_OBJECT
    Q_INTERFACES(zet::Paperwork)
public:
    int runCommand(const QStringList& args, QTextStream& out, QTextStream& err) override;
    QWidget* createJournalWindow(const JournalWindowSetup& setup, QWidget* parent) override;
    void setJournalServerState(QWidget* journalWindow, const QString& error, int unsent) override;
    bool readStaffWorkbook(QByteArrayView bytes, StaffFile& result, QString& error) override;
};

// One module for the whole process.
PaperworkModule& paperworkModule();

} // namespace zet
