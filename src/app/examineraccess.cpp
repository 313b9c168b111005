#include "app/examineraccess.h"

#include "model/regularfile.h"
#include "model/savefile.h"
#include "model/systemerror.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <chrono>

namespace zet {

namespace {

const QString kSection = QStringLiteral("[examiner]");
const QString kKey = QStringLiteral("password=");

qint64 steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// The stored string of an access.ini, empty when it holds none.
QString storedHash(const QByteArray& bytes) {
    bool inSection = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'['))
            inSection = line.compare(kSection, Qt::CaseInsensitive) == 0;
        else if (inSection && line.startsWith(kKey))
            return line.mid(kKey.size()).trimmed();
    }
    return {};
}

} // namespace

const QString ExaminerAccess::kFileName = QStringLiteral("access.ini");

ExaminerAccess::HashCost ExaminerAccess::interactiveCost() {
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

ExaminerAccess::HashCost ExaminerAccess::cheapestCost() {
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

QString hashExaminerPassword(const QString& password, ExaminerAccess::HashCost cost, QString* error) {
    if (!sodiumReady()) {
        *error = QStringLiteral("Библиотека шифрования libsodium не запустилась.");
        return {};
    }
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()), cost.ops,
                          cost.memory)
        != 0) {
        *error = QStringLiteral("Не хватило памяти, чтобы зашифровать пароль.");
        return {};
    }
    return QString::fromLatin1(out);
}

bool examinerPasswordMatches(const QString& stored, const QString& password) {
    if (!sodiumReady() || stored.isEmpty())
        return false;
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size()))
           == 0;
}

ExaminerAccess::ExaminerAccess(Clock clock) : m_clock(clock ? std::move(clock) : Clock(steadyMs)), m_cost(interactiveCost()) {}

void ExaminerAccess::setFolder(const QString& folder) {
    if (QDir::cleanPath(folder) == QDir::cleanPath(m_folder))
        return;
    m_folder = folder;
    m_read = false;
    m_trusted = false;
}

QString ExaminerAccess::filePath() const {
    return QDir(m_folder).filePath(kFileName);
}

void ExaminerAccess::readOnce() {
    // Read again only when the file has changed since (set by the command line meanwhile).
    const QString path = filePath();
    const QFileInfo info(path);
    const qint64 stamp = info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ (info.size() << 40) : -1;
    if (m_read && stamp == m_stamp)
        return;
    m_read = true;
    m_stamp = stamp;
    m_hash.clear();
    m_readError.clear();
    if (stamp == -1)
        return;
    QFile file(path);
    QString error;
    if (!openRegularFile(file, &error)) {
        m_readError = error;
        return;
    }
    m_hash = storedHash(file.readAll());
}

bool ExaminerAccess::isSet() {
    readOnce();
    return !m_hash.isEmpty() || !m_readError.isEmpty();
}

bool ExaminerAccess::trusted() const {
    return m_trusted && m_clock() < m_trustedUntil;
}

bool ExaminerAccess::mustAsk() {
    return isSet() && !trusted();
}

void ExaminerAccess::noteActivity() {
    if (trusted())
        m_trustedUntil = m_clock() + kTrustMs;
}

void ExaminerAccess::endTrust() {
    m_trusted = false;
}

QString ExaminerAccess::waitRefusal() const {
    const qint64 left = m_waitUntil - m_clock();
    if (left <= 0)
        return {};
    return QStringLiteral("Слишком много неверных паролей подряд. Попробуйте снова через %1 с.")
        .arg((left + 999) / 1000);
}

AccessResult ExaminerAccess::verify(const QString& password) {
    readOnce();
    if (!m_readError.isEmpty())
        return {false, m_readError};
    if (const QString refusal = waitRefusal(); !refusal.isEmpty())
        return {false, refusal};
    if (examinerPasswordMatches(m_hash, password)) {
        m_wrongInARow = 0;
        return {true, {}};
    }
    // From the fifth wrong one on, every further try waits.
    if (++m_wrongInARow >= kFreeTries)
        m_waitUntil = m_clock() + kWaitMs;
    return {false, QStringLiteral("Неверный пароль экзаменатора.")};
}

AccessResult ExaminerAccess::check(const QString& password) {
    if (!isSet())
        return {true, {}};
    AccessResult result = verify(password);
    if (result.ok) {
        m_trusted = true;
        m_trustedUntil = m_clock() + kTrustMs;
    }
    return result;
}

AccessResult ExaminerAccess::change(const QString& current, const QString& newPassword) {
    if (isSet()) {
        const AccessResult given = verify(current);
        if (!given.ok)
            return given;
    } else if (newPassword.isEmpty()) {
        return {false, QStringLiteral("Введите новый пароль.")};
    }
    QByteArray bytes;
    if (!newPassword.isEmpty()) {
        QString error;
        const QString hash = hashExaminerPassword(newPassword, m_cost, &error);
        if (hash.isEmpty())
            return {false, error};
        bytes = "; Razividerur: the examiner's password as an Argon2id hash (libsodium).\n"
                "; Set, changed or removed in the program or with: razividerur examiner password\n"
              + kSection.toUtf8() + '\n' + kKey.toUtf8() + hash.toLatin1() + '\n';
    }
    QString error;
    if (newPassword.isEmpty()) {
        QFile file(filePath());
        if (file.exists() && !file.remove())
            return {false, QStringLiteral("Файл «%1» не удалось удалить: %2")
                               .arg(QDir::toNativeSeparators(filePath()), russianSystemError(file.errorString()))};
    } else if (!writeFileAtomically(filePath(), bytes, &error)) {
        return {false, error};
    }
    m_read = false;
    readOnce();
    // The one who has just set it goes on working; a removed password needs no trust.
    m_trusted = !newPassword.isEmpty();
    m_trustedUntil = m_clock() + kTrustMs;
    return {true, {}};
}

} // namespace zet
