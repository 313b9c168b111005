#pragma once
// Small pieces the journal's dialogs share for their tables.

#include <QDate>
#include <QString>
#include <QTableWidgetItem>

namespace zet::ui {

// A cell the examiner reads but cannot edit.
inline QTableWidgetItem* readOnlyCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// dd.MM.yyyy; empty for an invalid date.
inline QString dayText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace zet::ui
