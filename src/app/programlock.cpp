#include "app/programlock.h"

#include <QDir>

namespace zet {

ProgramLock::ProgramLock(const QString& folder)
    : m_path(QDir(folder).filePath(QStringLiteral("razividerur.lock"))), m_lock(std::make_unique<QLockFile>(m_path)) {
    // Held for the whole run: only a dead owner makes the lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_outcome = Outcome::Locked;
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_outcome = Outcome::HeldByOther;
        QString host, app;
        m_lock->getLockInfo(&m_ownerPid, &host, &app);
        return;
    }
    m_outcome = Outcome::NotPossible;
}

} // namespace zet
