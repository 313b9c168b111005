#include "journal/journalerror.h"

#include "model/systemerror.h"

#include <QSqlError>

#include <array>

namespace zet {

namespace {

QString sqliteReason(int code) {
    switch (code & 0xff) { // the primary code of an extended one
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return QStringLiteral("нет прав доступа к журналу");
    case 5: // SQLITE_BUSY
        return QStringLiteral("журнал занят другой программой или другим окном этой программы; "
                              "повторите попытку позже");
    case 6: // SQLITE_LOCKED
        return QStringLiteral("журнал заблокирован другой операцией; повторите попытку позже");
    case 8: // SQLITE_READONLY
        return QStringLiteral("файл журнала доступен только для чтения");
    case 10: // SQLITE_IOERR
        return QStringLiteral("ошибка ввода-вывода при работе с файлом журнала (сбой или переполнение диска)");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("файл журнала повреждён");
    case 13: // SQLITE_FULL
        return QStringLiteral("на диске нет свободного места");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("файл журнала не удаётся открыть или создать");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("файл не является журналом (базой данных SQLite)");
    default:
        return {};
    }
}

QString serverReason(const QString& text) {
    struct Wording {
        const char* server;
        const char* russian;
    };
    static const std::array<Wording, 9> wordings = {{
        {"Connection refused", "сервер не принимает соединения"},
        {"timeout expired", "сервер не ответил вовремя"},
        {"could not translate host name", "имя сервера не найдено"},
        {"No route to host", "сервер недоступен в сети"},
        {"Network is unreachable", "сеть недоступна"},
        {"password authentication failed", "неверное имя пользователя или пароль"},
        {"no password supplied", "не указан пароль"},
        {"server closed the connection unexpectedly", "сервер неожиданно закрыл соединение"},
        {"no connection to the server", "нет соединения с сервером"},
    }};
    for (const Wording& w : wordings) {
        if (text.contains(QLatin1String(w.server), Qt::CaseInsensitive))
            return QString::fromUtf8(w.russian);
    }
    return {};
}

} // namespace

QString russianDatabaseError(const QSqlError& error, bool server) {
    const QString driverText = error.databaseText().trimmed();
    const QString text = driverText.isEmpty() ? error.text().trimmed() : driverText;
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    if (numeric && !server) {
        if (const QString reason = sqliteReason(code); !reason.isEmpty())
            return reason;
    }
    if (const QString reason = serverReason(text); !reason.isEmpty())
        return reason;
    if (const QString reason = russianSystemError(text); reason != text)
        return reason;
    if (text.isEmpty())
        return QStringLiteral("неизвестная ошибка базы данных");
    return QStringLiteral("ошибка базы данных: %1").arg(text);
}

} // namespace zet
