#include "cli/examinercommand.h"

#include "app/examineraccess.h"
#include "cli/commandoptions.h"

#include <QDir>

#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace zet {

namespace {

const char* const kUsage =
    "Использование:\n"
    "  razividerur examiner password [--folder ПАПКА]\n"
    "      задаёт, меняет или снимает (пустой новый пароль) пароль экзаменатора;\n"
    "      пароли читаются с терминала или, если ввод не терминал, построчно со стандартного\n"
    "      ввода: текущий пароль (если задан), новый, новый ещё раз\n";

class StandardInput final : public PasswordInput {
public:
    bool isTerminal() const override { return isatty(STDIN_FILENO) == 1; }

    std::optional<QString> read(const QString& prompt) override {
        const bool terminal = isTerminal();
        termios saved{};
        if (terminal) {
            QTextStream(stderr) << prompt << Qt::flush;
            // The password is not shown while it is typed.
            if (tcgetattr(STDIN_FILENO, &saved) == 0) {
                termios quiet = saved;
                quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
                tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
            }
        }
        std::string line;
        bool got = false;
        for (int c; (c = std::fgetc(stdin)) != EOF;) {
            got = true;
            if (c == '\n')
                break;
            line.push_back(static_cast<char>(c));
        }
        if (terminal) {
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
            QTextStream(stderr) << '\n' << Qt::flush;
        }
        if (!got)
            return std::nullopt;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return QString::fromLocal8Bit(line);
    }
};

} // namespace

PasswordInput*& passwordInputOverride() {
    static PasswordInput* input = nullptr;
    return input;
}

PasswordInput& commandPasswordInput() {
    static StandardInput standard;
    return passwordInputOverride() ? *passwordInputOverride() : standard;
}

bool takePasswordStdinFlag(QStringList& args) {
    return args.removeAll(QStringLiteral("--password-stdin")) > 0;
}

bool examinerConfirmed(const QString& folder, bool passwordStdin, QTextStream& err) {
    ExaminerAccess access;
    access.setFolder(folder);
    if (!access.isSet())
        return true;
    PasswordInput& input = commandPasswordInput();
    if (!input.isTerminal() && !passwordStdin) {
        commandFailed(err,
             QStringLiteral("В папке %1 задан пароль экзаменатора. Введите его в терминале или передайте "
                            "одной строкой на стандартный ввод с ключом --password-stdin.")
                 .arg(QDir::toNativeSeparators(folder)),
             1);
        return false;
    }
    const std::optional<QString> password = input.read(QStringLiteral("Пароль экзаменатора: "));
    if (!password) {
        commandFailed(err, QStringLiteral("Пароль экзаменатора не введён."), 1);
        return false;
    }
    const AccessResult checked = access.check(*password);
    if (!checked.ok)
        commandFailed(err, checked.error, 1);
    return checked.ok;
}

int runExaminerCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == QLatin1String("examiner"))
        args.removeFirst();
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        out << kUsage;
        out.flush();
        return 0;
    }
    if (args.isEmpty() || args.first() != QLatin1String("password")) {
        err << kUsage;
        err.flush();
        return 2;
    }
    args.removeFirst();
    const std::optional<CommandOptions> options = CommandOptions::parse(args, {QStringLiteral("folder")}, err);
    const QString folder = options ? options->folder(err) : QString();
    if (folder.isEmpty()) {
        err << kUsage;
        err.flush();
        return 2;
    }
    ExaminerAccess access;
    access.setFolder(folder);
    PasswordInput& input = commandPasswordInput();
    const bool wasSet = access.isSet();
    std::optional<QString> current;
    if (wasSet && !(current = input.read(QStringLiteral("Текущий пароль экзаменатора: "))))
        return commandFailed(err, QStringLiteral("Текущий пароль не введён; пароль не изменён."), 1);
    const std::optional<QString> fresh =
        input.read(wasSet ? QStringLiteral("Новый пароль (пустой — снять пароль): ")
                          : QStringLiteral("Новый пароль экзаменатора: "));
    const std::optional<QString> repeated =
        fresh ? input.read(QStringLiteral("Повторите новый пароль: ")) : std::nullopt;
    if (!fresh || !repeated)
        return commandFailed(err, QStringLiteral("Новый пароль не введён дважды; пароль не изменён."), 1);
    if (*fresh != *repeated)
        return commandFailed(err, QStringLiteral("Новый пароль и его повтор не совпадают; пароль не изменён."), 1);
    const AccessResult changed = access.change(current.value_or(QString()), *fresh);
    if (!changed.ok)
        return commandFailed(err, changed.error, 1);
    out << (fresh->isEmpty() ? QStringLiteral("Пароль экзаменатора снят: %1\n")
            : wasSet         ? QStringLiteral("Пароль экзаменатора изменён: %1\n")
                             : QStringLiteral("Пароль экзаменатора установлен: %1\n"))
               .arg(QDir::toNativeSeparators(access.filePath()));
    out.flush();
    return 0;
}

} // namespace zet
