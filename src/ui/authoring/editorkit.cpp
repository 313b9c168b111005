#include "ui/authoring/editorkit.h"

#include "model/textvalue.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStringList>

namespace zet::ui {

QLabel* MakeCaption(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                    int height, QWidget* buddy) {
    // Not filled: the caption shows the editor's background through.
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    PlaceTwips(label, left, top, width, height);
    if (buddy) {
        label->setBuddy(buddy);
        if (buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(text.simplified());
    }
    return label;
}

QListWidget* MakeNumberList(QWidget* parent, const QString& name, const QString& accessibleName, int first,
                            int last, int left, int top, int width, int height) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    SetBoxColor(list, kLightYellow);
    PlaceTwips(list, left, top, width, height);
    // Every row fills the list's height, so exactly one number shows, as the list's size intends.
    list->setUniformItemSizes(true);
    const QSize row(Twips(width), list->height() - 2 * list->frameWidth());
    for (int n = first; n <= last; ++n) {
        auto* item = new QListWidgetItem(NumberText(n), list);
        item->setSizeHint(row);
    }
    return list;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QString& name, const QString& accessibleName, int left,
                         int top, int width, int height) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setTabChangesFocus(true);
    PlaceTwips(box, left, top, width, height);
    return box;
}

bool SelectItemByText(QListWidget* list, const QString& text) {
    const QSignalBlocker blocker(list);
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) {
        list->clearSelection();
        list->setCurrentItem(nullptr);
        list->scrollToTop();
        // The selection model kept its own signals quiet; repaint the cleared rows.
        list->viewport()->update();
        return false;
    }
    list->setCurrentItem(found.front());
    ShowSelectedItem(list);
    list->viewport()->update();
    return true;
}

std::optional<int16> SelectedValue(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return Int16Rounded(item->text());
}

void ShowSelectedItem(QListWidget* list) {
    if (QListWidgetItem* item = list->currentItem())
        list->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

QString MemoText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void SetMemoText(QPlainTextEdit* box, const QString& stored) {
    // The box turns CR LF and a lone CR into its own line breaks.
    box->setPlainText(stored);
}

void ReportSave(QWidget* parent, const Database& db, const SaveResult& result) {
    if (!result.ok()) {
        QString text = QStringLiteral("Не удалось сохранить базу данных в файл\n%1\n\n").arg(db.DatabasePath);
        text += result.error.isEmpty() ? QStringLiteral("Причина неизвестна.") : result.error;
        text += QStringLiteral("\n\nВведённые данные остались только в памяти программы; "
                               "файл на диске не изменён.");
        ShowMessage(parent, text);
        return;
    }
    if (result.issues.empty())
        return;

    constexpr int kListed = 12;
    QStringList lines;
    int shown = 0;
    for (const StoredValueIssue& issue : result.issues) {
        if (shown == kListed)
            break;
        const QString what = issue.kind == StoredValueIssue::Truncated
                                 ? QStringLiteral("обрезано до %1 символов").arg(kStoredTextLimit)
                                 : QStringLiteral("символы, которых нет в кодировке Windows-1251, "
                                                  "заменены на «?»");
        lines << QStringLiteral("• %1: %2").arg(issue.field, what);
        ++shown;
    }
    const int rest = static_cast<int>(result.issues.size()) - shown;
    if (rest > 0)
        lines << QStringLiteral("• и ещё значений: %1").arg(rest);

    ShowMessage(parent,
                QStringLiteral("База данных сохранена, но не всё поместилось в файл так, как введено:\n") +
                    lines.join(QLatin1Char('\n')));
}

} // namespace zet::ui
