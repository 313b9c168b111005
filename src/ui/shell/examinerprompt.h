#pragma once
// The window's side of the examiner's password: the question before a guarded action, the
// dialog that sets, changes or removes the password, and the watch over open guarded areas.

#include "app/examineraccess.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace zet::ui {

// What the password dialog was given.
struct PasswordChange {
    QString current; // empty while no password is set
    QString newPassword;
    QString repeated;
};

// Test hooks: when set, they answer instead of the modal dialogs; nothing means «Отмена».
struct ExaminerPromptHooks {
    std::function<std::optional<QString>()> password;
    std::function<std::optional<PasswordChange>(bool passwordSet)> change;
};
ExaminerPromptHooks& examinerPromptHooks();

// True when the guarded action may go on: no password is set, it is trusted at the moment, or
// the examiner gives it now (a wrong one is told and asked again). False on «Отмена».
bool examinerAllows(QWidget* parent, ExaminerAccess& access);

// «Пароль экзаменатора…»: sets a new password, or changes or removes the one set (which must
// be given), and tells the outcome.
void changeExaminerPassword(QWidget* parent, ExaminerAccess& access);

// Watches the user's input to the whole program: any input keeps a given password trusted,
// and input into a guarded area (an editor, the file area, the journal window and the dialogs
// it opens) once the trust has run out is held back until the password is given again.
class ExaminerWatch : public QObject {
    Q_OBJECT
public:
    ExaminerWatch(ExaminerAccess& access, QObject* parent = nullptr);
    void guard(QWidget* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* guardedAreaOf(QWidget* widget) const;

    ExaminerAccess& m_access;
    std::vector<QPointer<QWidget>> m_areas;
    bool m_asking = false;
};

} // namespace zet::ui
