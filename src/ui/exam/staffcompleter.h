#pragma once
// Offers the people of the staff list under a registration box while the examiner types
// into it: a popup of matching people (name, personnel number, job title, department). The
// list is asked on every change typed, never before; nothing is offered when it has no one.

#include "journal/staffstore.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QCompleter;
class QLineEdit;
class QStandardItemModel;

namespace zet::ui {

class StaffCompleter : public QObject {
    Q_OBJECT
public:
    // The people whose name or personnel number begins with what was typed.
    using Lookup = std::function<QList<StaffPerson>(const QString& typed)>;

    StaffCompleter(Lookup lookup, QObject* parent);
    ~StaffCompleter() override;

    // Offers people under box whenever the examiner changes its text.
    void attach(QLineEdit* box);
    // The popup of box (tests), null when box is not attached.
    QCompleter* completerOf(const QLineEdit* box) const;

signals:
    // The examiner picked person in a popup.
    void personChosen(const zet::StaffPerson& person);

private:
    struct Attached {
        QLineEdit* box = nullptr;
        QCompleter* completer = nullptr;
        QStandardItemModel* model = nullptr;
        QList<StaffPerson> people;
    };
    void offer(Attached& attached, const QString& typed);

    Lookup m_lookup;
    std::vector<std::unique_ptr<Attached>> m_attached;
};

} // namespace zet::ui
