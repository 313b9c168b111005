#pragma once
// The examiner's password: set, changed and removed only by the one who knows it, kept as an
// Argon2id hash (libsodium) in access.ini of the program folder, and trusted for a while once
// given. No widgets: the window asks through its own dialog and calls these operations.
//
// While a password is set the editors, the database files, the journal and the end of a
// running exam wait for it. A correct password is trusted until five minutes pass without the
// examiner doing anything; an exam start ends the trust at once. After five wrong passwords
// in a row every further try waits thirty seconds.

#include <QString>

#include <cstddef>
#include <functional>

namespace zet {

// The answer to a password.
struct AccessResult {
    bool ok = false;
    QString error; // Russian, when not ok
};

class ExaminerAccess {
public:
    // Milliseconds of a steady clock; tests give their own.
    using Clock = std::function<qint64()>;

    static constexpr qint64 kTrustMs = 5 * 60 * 1000;
    static constexpr int kFreeTries = 5;
    static constexpr qint64 kWaitMs = 30 * 1000;
    static const QString kFileName; // "access.ini"

    // The work the hash takes: libsodium's interactive limits unless tests choose cheaper ones.
    struct HashCost {
        unsigned long long ops;
        std::size_t memory;
    };
    static HashCost interactiveCost();
    static HashCost cheapestCost();

    explicit ExaminerAccess(Clock clock = {});

    // The folder access.ini is read from and written to (with or without a trailing separator).
    // The file itself is read when first needed, and again whenever it has changed since.
    void setFolder(const QString& folder);
    QString filePath() const;
    void setHashCost(HashCost cost) { m_cost = cost; }
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // A password is set (or access.ini cannot be read, which counts as set).
    bool isSet();
    // A password is set and not trusted at the moment: the examiner must give it.
    bool mustAsk();
    // Checks a password; a right one is trusted from now on and clears the wrong count.
    AccessResult check(const QString& password);
    // The examiner did something: a trusted password stays trusted for five more minutes.
    void noteActivity();
    // Forgets a given password (an exam starts).
    void endTrust();

    // Sets a new password, or removes it when newPassword is empty. While one is set, current
    // must be it (wrong ones count like any other try). Writes access.ini through QSaveFile.
    AccessResult change(const QString& current, const QString& newPassword);

private:
    void readOnce();
    bool trusted() const;
    // The refusal while tries must wait, else nothing.
    QString waitRefusal() const;
    AccessResult verify(const QString& password);

    Clock m_clock;
    HashCost m_cost;
    QString m_folder;
    bool m_read = false;
    qint64 m_stamp = -1; // the file's time and size when it was read, -1: there was none
    QString m_hash;      // the stored Argon2id string, empty when none is set
    QString m_readError; // access.ini exists but cannot be used
    qint64 m_trustedUntil = 0;
    bool m_trusted = false;
    int m_wrongInARow = 0;
    qint64 m_waitUntil = 0;
};

// The Argon2id string of a password (libsodium's crypto_pwhash_str), empty with error set
// when it cannot be made (libsodium not ready, not enough memory).
QString hashExaminerPassword(const QString& password, ExaminerAccess::HashCost cost, QString* error);
// Whether password matches the stored string (crypto_pwhash_str_verify).
bool examinerPasswordMatches(const QString& stored, const QString& password);

} // namespace zet
