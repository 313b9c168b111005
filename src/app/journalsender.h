#pragma once
// Sends the local journal's unsent exams to the exam centre's server on a thread of its own,
// so that a server that does not answer never holds up the window or a running exam.

#include "journal/journalconfig.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

namespace zet {

class Journal;

// Lives in the sending thread; has a journal of its own there, with its own connections to the
// local journal and to the server (a database connection is used only by the thread that made it).
class JournalSendWorker : public QObject {
    Q_OBJECT
public:
    JournalSendWorker(const QString& folder, const JournalConfig& config);
    ~JournalSendWorker() override;

    // Sends whatever waits; reports through finished.
    void send();

signals:
    void finished(bool ok, const QString& error);

private:
    QString m_folder;
    JournalConfig m_config;
    std::unique_ptr<Journal> m_journal; // made on the first send, in the sending thread
};

// The owner's side: one send at a time; a request while one runs is carried out after it.
class JournalSender : public QObject {
    Q_OBJECT
public:
    JournalSender(const QString& folder, const JournalConfig& config, QObject* parent = nullptr);
    // Waits for a send in progress (at most the server's connect timeout and the sending itself).
    ~JournalSender() override;

    void requestSend();
    bool isSending() const { return m_sending; }

signals:
    // A send has ended; error is the Russian reason when it failed.
    void sent(bool ok, const QString& error);

private:
    void onFinished(bool ok, const QString& error);

    QThread m_thread;
    JournalSendWorker* m_worker = nullptr; // owned by m_thread's lifetime, deleted in it
    bool m_sending = false;
    bool m_again = false;
};

} // namespace zet
