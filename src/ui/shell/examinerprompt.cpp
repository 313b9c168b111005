#include "ui/shell/examinerprompt.h"

#include "ui/shell/messages.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace zet::ui {

namespace {

// Set on the password dialogs, whose input the watch lets through.
const char* const kPromptProperty = "examinerPrompt";

std::optional<QString> askPassword(QWidget* parent) {
    if (examinerPromptHooks().password)
        return examinerPromptHooks().password();
    QInputDialog dialog(parent);
    dialog.setProperty(kPromptProperty, true);
    dialog.setWindowTitle(QStringLiteral("Пароль экзаменатора"));
    dialog.setLabelText(QStringLiteral("Введите пароль экзаменатора:"));
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QLineEdit* passwordBox(QFormLayout* form, const char* name, const QString& label) {
    auto* box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    box->setEchoMode(QLineEdit::Password);
    box->setAccessibleName(QString(label).remove(u':'));
    form->addRow(label, box);
    return box;
}

std::optional<PasswordChange> askChange(QWidget* parent, bool passwordSet) {
    if (examinerPromptHooks().change)
        return examinerPromptHooks().change(passwordSet);
    QDialog dialog(parent);
    dialog.setProperty(kPromptProperty, true);
    dialog.setWindowTitle(QStringLiteral("Пароль экзаменатора"));
    auto* form = new QFormLayout(&dialog);
    auto* note = new QLabel(passwordSet ? QStringLiteral("Чтобы снять пароль, оставьте новый пароль пустым.")
                                        : QStringLiteral("Пароль будут спрашивать перед редакторами, файлами "
                                                         "базы, журналом и завершением экзамена."));
    note->setWordWrap(true);
    form->addRow(note);
    QLineEdit* current =
        passwordSet ? passwordBox(form, "currentPasswordBox", QStringLiteral("Текущий пароль:")) : nullptr;
    QLineEdit* fresh = passwordBox(form, "newPasswordBox", QStringLiteral("Новый пароль:"));
    QLineEdit* repeated = passwordBox(form, "repeatedPasswordBox", QStringLiteral("Повторите пароль:"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PasswordChange{current ? current->text() : QString(), fresh->text(), repeated->text()};
}

} // namespace

ExaminerPromptHooks& examinerPromptHooks() {
    static ExaminerPromptHooks hooks;
    return hooks;
}

bool examinerAllows(QWidget* parent, ExaminerAccess& access) {
    if (!access.mustAsk()) {
        access.noteActivity();
        return true;
    }
    for (;;) {
        const std::optional<QString> password = askPassword(parent);
        if (!password)
            return false;
        const AccessResult result = access.check(*password);
        if (result.ok)
            return true;
        showMessage(parent, result.error);
    }
}

void changeExaminerPassword(QWidget* parent, ExaminerAccess& access) {
    const bool wasSet = access.isSet();
    const std::optional<PasswordChange> change = askChange(parent, wasSet);
    if (!change)
        return;
    if (change->newPassword != change->repeated) {
        showMessage(parent, QStringLiteral("Новый пароль и его повтор не совпадают; пароль не изменён."));
        return;
    }
    const AccessResult result = access.change(change->current, change->newPassword);
    if (!result.ok) {
        showMessage(parent, result.error);
        return;
    }
    showMessage(parent, change->newPassword.isEmpty() ? QStringLiteral("Пароль экзаменатора снят.")
                        : wasSet                      ? QStringLiteral("Пароль экзаменатора изменён.")
                                                      : QStringLiteral("Пароль экзаменатора установлен."));
}

ExaminerWatch::ExaminerWatch(ExaminerAccess& access, QObject* parent) : QObject(parent), m_access(access) {
    qApp->installEventFilter(this);
}

void ExaminerWatch::guard(QWidget* area) {
    // A journal window closed meanwhile has gone.
    std::erase_if(m_areas, [](const QPointer<QWidget>& known) { return known.isNull(); });
    m_areas.emplace_back(area);
}

QWidget* ExaminerWatch::guardedAreaOf(QWidget* widget) const {
    // Up through the parents, across the windows a guarded area opens.
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->property(kPromptProperty).toBool())
            return nullptr;
        for (const QPointer<QWidget>& area : m_areas) {
            if (area == w)
                return area->isVisible() ? w : nullptr;
        }
    }
    return nullptr;
}

bool ExaminerWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
        break;
    default:
        return false;
    }
    if (!watched->isWidgetType())
        return false;
    QWidget* area = guardedAreaOf(static_cast<QWidget*>(watched));
    if (area && m_asking)
        return true;
    if (!area || !m_access.mustAsk()) {
        m_access.noteActivity();
        return false;
    }
    // Held back; the question comes once this event is done with.
    m_asking = true;
    QTimer::singleShot(0, this, [this, area = QPointer<QWidget>(area)] {
        if (area)
            examinerAllows(area, m_access);
        m_asking = false;
    });
    return true;
}

} // namespace zet::ui
