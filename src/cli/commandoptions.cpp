#include "cli/commandoptions.h"

#include "app/startup.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

#include <unistd.h>

namespace zet {

std::optional<CommandOptions> CommandOptions::parse(const QStringList& args, const QStringList& allowed,
                                                    QTextStream& err, const QStringList& flags) {
    CommandOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (!word.startsWith(QLatin1String("--"))) {
            err << QStringLiteral("Лишний аргумент «%1».\n").arg(word);
            return std::nullopt;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString name = word.mid(2, equals < 0 ? -1 : equals - 2);
        if (flags.contains(name) && equals < 0) {
            if (options.m_values.contains(name)) {
                err << QStringLiteral("Параметр --%1 указан дважды.\n").arg(name);
                return std::nullopt;
            }
            options.m_values.insert(name, QStringLiteral("1"));
            continue;
        }
        if (!allowed.contains(name)) {
            err << QStringLiteral("Неизвестный параметр «%1».\n").arg(word);
            return std::nullopt;
        }
        if (options.m_values.contains(name)) {
            err << QStringLiteral("Параметр --%1 указан дважды.\n").arg(name);
            return std::nullopt;
        }
        QString value;
        if (equals >= 0) {
            value = word.mid(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args.at(++i);
        } else {
            err << QStringLiteral("После --%1 нужно значение.\n").arg(name);
            return std::nullopt;
        }
        if (value.trimmed().isEmpty()) {
            err << QStringLiteral("Пустое значение параметра --%1.\n").arg(name);
            return std::nullopt;
        }
        options.m_values.insert(name, value);
    }
    return options;
}

QDate CommandOptions::date(const QString& name, QTextStream& err, bool& ok) const {
    if (!has(name))
        return {};
    const QDate date = QDate::fromString(value(name).trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid()) {
        err << QStringLiteral("Дата «%1» после --%2 не прочитана: нужна дата вида ДД.ММ.ГГГГ, например 05.03.2024.\n")
                   .arg(value(name), name);
        ok = false;
    }
    return date;
}

int CommandOptions::number(const QString& name, int minimum, int fallback, QTextStream& err, bool& ok) const {
    if (!has(name))
        return fallback;
    bool read = false;
    const int number = value(name).trimmed().toInt(&read);
    if (!read || number < minimum) {
        err << QStringLiteral("После --%1 нужно целое число не меньше %2, а не «%3».\n")
                   .arg(name)
                   .arg(minimum)
                   .arg(value(name));
        ok = false;
        return fallback;
    }
    return number;
}

QString CommandOptions::folder(QTextStream& err) const {
    const QString folder = has(QStringLiteral("folder")) ? value(QStringLiteral("folder")) : defaultProgramFolder();
    if (!QFileInfo(folder).isDir()) {
        err << QStringLiteral("Папка не найдена: %1\n").arg(QDir::toNativeSeparators(folder));
        return {};
    }
    return folder;
}

int commandFailed(QTextStream& err, const QString& message, int code) {
    err << message << '\n';
    err.flush();
    return code;
}

bool writesToTerminal(QTextStream& out) {
    const auto* file = qobject_cast<const QFileDevice*>(out.device());
    return file && file->handle() >= 0 && ::isatty(file->handle()) == 1;
}

} // namespace zet
