#include "ui/exam/staffcompleter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>

#include <algorithm>

namespace zet::ui {

namespace {

QString personText(const StaffPerson& person) {
    QStringList details{QStringLiteral("таб. № ") + person.personnelNo};
    for (const QString& text : {person.jobTitle, person.department})
        if (!text.isEmpty())
            details << text;
    return person.fullName + QStringLiteral(" — ") + details.join(QStringLiteral(", "));
}

} // namespace

StaffCompleter::StaffCompleter(Lookup lookup, QObject* parent) : QObject(parent), m_lookup(std::move(lookup)) {}

StaffCompleter::~StaffCompleter() = default;

void StaffCompleter::attach(QLineEdit* box) {
    m_attached.push_back(std::make_unique<Attached>());
    Attached* attached = m_attached.back().get();
    attached->box = box;
    attached->model = new QStandardItemModel(this);
    attached->completer = new QCompleter(attached->model, this);
    // The list itself decides who matches: every row it gives is shown.
    attached->completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    attached->completer->setMaxVisibleItems(10);
    attached->completer->setWidget(box);
    attached->completer->popup()->setAccessibleName(QStringLiteral("Люди из списка персонала"));
    connect(box, &QLineEdit::textEdited, this, [this, attached](const QString& text) { offer(*attached, text); });
    connect(attached->completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this, attached](const QModelIndex& index) {
                const int row = index.data(Qt::UserRole).toInt();
                if (row >= 0 && row < attached->people.size())
                    emit personChosen(attached->people.at(row));
            });
}

QCompleter* StaffCompleter::completerOf(const QLineEdit* box) const {
    for (const auto& attached : m_attached)
        if (attached->box == box)
            return attached->completer;
    return nullptr;
}

void StaffCompleter::offer(Attached& attached, const QString& typed) {
    const QString wanted = typed.trimmed();
    attached.people = wanted.isEmpty() || attached.box->isReadOnly() ? QList<StaffPerson>() : m_lookup(wanted);
    attached.model->clear();
    for (int row = 0; row < attached.people.size(); ++row) {
        auto* item = new QStandardItem(personText(attached.people.at(row)));
        item->setData(row, Qt::UserRole);
        item->setEditable(false);
        attached.model->appendRow(item);
    }
    if (attached.people.isEmpty()) {
        attached.completer->popup()->hide();
        return;
    }
    // As wide as the longest line, so that the job title and the department are not cut.
    QAbstractItemView* popup = attached.completer->popup();
    const int width = popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() + 8;
    attached.completer->complete(QRect(0, 0, std::max(width, attached.box->width()), attached.box->height()));
}

} // namespace zet::ui
