#pragma once
// One running program per program folder: two copies writing the same day file would erase
// each other's records.

#include <QLockFile>
#include <QString>

#include <memory>

namespace zet {

class ProgramLock {
public:
    enum class Outcome {
        Locked,       // this program holds the folder
        HeldByOther,  // another running program holds it
        NotPossible,  // no lock file can be made there (the folder is read-only, for one)
    };

    // Takes the lock file in folder. A lock left by a program that no longer runs is taken over.
    explicit ProgramLock(const QString& folder);

    Outcome outcome() const { return m_outcome; }
    QString lockFilePath() const { return m_path; }
    // The process id of the program holding the lock, when another one does (0 if unknown).
    qint64 ownerPid() const { return m_ownerPid; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    Outcome m_outcome = Outcome::NotPossible;
    qint64 m_ownerPid = 0;
};

} // namespace zet
