#pragma once
// The paperwork: the journal window with its dialogs, the protocol and the spreadsheet exports,
// and the reader of staff lists saved as .xlsx workbooks. They need Qt Charts, Qt PrintSupport,
// libxlsxwriter and libzip (with libcrypto), which nothing else in the program uses, so they are
// built as a library of their own (razividerur-paperwork.so) that is loaded the first time the
// journal window is opened, a paperwork command runs or a workbook is read: a start of the
// program never loads those libraries.
//
// The library is looked for beside the program (the build tree) and in the installed layout
// (<libdir>/razividerur, found from the program's folder, so an unpacked package works where it
// lies); RAZIVIDERUR_PAPERWORK_DIR names another folder. When it is missing or does not load,
// the caller tells the user why in Russian; the rest of the program works without it.

#include "staff/staffrecord.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtPlugin>

#include <functional>

class QTextStream;
class QWidget;

namespace zet {

class StaffList;

// What the journal window is opened with.
struct JournalWindowSetup {
    QString folder;            // the program folder
    StaffList* staff = nullptr; // the program's staff list («Персонал»)
    // A double click in the question statistics: open this question in the question editor.
    std::function<void(int theme, int question)> openQuestion;
};

class Paperwork {
public:
    virtual ~Paperwork() = default;

    // The paperwork commands of the command line: "protocol --date …" and "journal
    // export|due|register …" (args: the words after the program name). Returns the process
    // exit code.
    virtual int runCommand(const QStringList& args, QTextStream& out, QTextStream& err) = 0;

    // The journal window («Журнал результатов») with its paperwork, a window of its own over
    // parent, not shown yet.
    virtual QWidget* createJournalWindow(const JournalWindowSetup& setup, QWidget* parent) = 0;
    // The exam centre's server in the journal window's status line (see createJournalWindow).
    virtual void setJournalServerState(QWidget* journalWindow, const QString& error, int unsent) = 0;

    // A staff list saved as an .xlsx workbook; false with a Russian message in error.
    virtual bool readStaffWorkbook(QByteArrayView bytes, StaffFile& result, QString& error) = 0;
};

// The paperwork, loaded the first time it is asked for; null with *error set (Russian) when
// its library is missing or does not load. A failure is not remembered: the next call tries
// again.
Paperwork* loadPaperwork(QString* error = nullptr);

// Runs args through the paperwork; when it cannot be loaded tells err why and returns 1.
int runPaperworkCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The paperwork linked into this program instead (tests); null: load the library again.
void usePaperwork(Paperwork* paperwork);

// The file name of the paperwork's library.
QString paperworkLibraryName();

// Reads a staff list workbook through the paperwork, loading it when needed.
bool readStaffWorkbookThroughPaperwork(QByteArrayView bytes, StaffFile& result, QString& error);

} // namespace zet

#define ZET_PAPERWORK_IID "org.orvelant.razividerur.Paperwork/2"
Q_DECLARE_INTERFACE(zet::Paperwork, ZET_PAPERWORK_IID)
