#include "ui/authoring/editorkit.h"

#include "model/cp1251.h"
#include "model/textvalue.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QTextDocument>

namespace zet::ui {

namespace {

class PlainFrame : public QObject {
public:
    explicit PlainFrame(QGroupBox* frame) : QObject(frame), m_frame(frame) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_frame || event->type() != QEvent::Paint)
            return false;
        QStylePainter painter(m_frame);
        QStyleOptionGroupBox option;
        option.initFrom(m_frame);
        option.text = m_frame->title();
        option.lineWidth = 1;
        option.midLineWidth = 0;
        option.textAlignment = m_frame->alignment();
        option.subControls = QStyle::SC_GroupBoxLabel;
        option.activeSubControls = QStyle::SC_None;
        const QRect frameRect =
            m_frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, m_frame);
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
        painter.setPen(m_frame->palette().color(QPalette::Window).darker(150));
        painter.drawRect(frameRect.adjusted(0, 0, -1, -1));
        return true;
    }

private:
    QGroupBox* m_frame;
};

} // namespace

void keepFrameColour(QGroupBox* frame) {
    frame->installEventFilter(new PlainFrame(frame));
}

QPlainTextEdit* makeMemo(QWidget* parent, const QString& name, const QString& accessibleName, int left,
                         int top, int width, int height) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setTabChangesFocus(true);
    placeTwips(box, left, top, width, height);
    return box;
}

bool selectItemByText(QListWidget* list, const QString& text) {
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
    showSelectedItem(list);
    list->viewport()->update();
    return true;
}

std::optional<int16> selectedValue(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return int16Rounded(item->text());
}

void showSelectedItem(QListWidget* list) {
    if (QListWidgetItem* item = list->currentItem())
        list->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

QString memoText(const QPlainTextEdit* box) {
    // The raw text keeps every character as typed; the plain text would turn non-breaking
    // spaces into ordinary ones. Only the document's own block and line separators become
    // line breaks.
    QString text = box->document()->toRawText();
    for (QChar& c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0: // beginning of a frame
        case 0xFDD1: // end of a frame
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void setMemoText(QPlainTextEdit* box, const QString& stored) {
    // The box turns CR LF and a lone CR into its own line breaks.
    box->setPlainText(stored);
}

namespace {

QString fitNote(const QString& field, const FittedText& fitted, int limit) {
    QStringList what;
    if (fitted.truncated)
        what << QStringLiteral("обрезано до %1 символов — больше это поле не вмещает").arg(limit);
    if (fitted.replaced)
        what << QStringLiteral("символы, которых нет в кодировке Windows-1251, заменены на «?»");
    return QStringLiteral("• %1: %2").arg(field, what.join(QStringLiteral("; ")));
}

} // namespace

QString fittedMemoText(QPlainTextEdit* box, int limit, const QString& field, QStringList& notes) {
    const FittedText fitted = fitCp1251(memoText(box), limit);
    if (fitted.truncated || fitted.replaced) {
        setMemoText(box, fitted.text);
        notes << fitNote(field, fitted, limit);
    }
    return fitted.text;
}

QString fittedLineText(QLineEdit* box, int limit, const QString& field, QStringList& notes) {
    const FittedText fitted = fitCp1251(box->text(), limit);
    if (fitted.truncated || fitted.replaced) {
        box->setText(fitted.text);
        box->setCursorPosition(0);
        notes << fitNote(field, fitted, limit);
    }
    return fitted.text;
}

void reportSave(QWidget* parent, const Database& db, const SaveResult& result, const QStringList& fitted) {
    if (!result.ok()) {
        QString text = QStringLiteral("Не удалось сохранить базу данных в файл\n%1\n\n").arg(db.databasePath);
        text += result.error.isEmpty() ? QStringLiteral("Причина неизвестна.") : result.error;
        text += QStringLiteral("\n\nВведённые данные остались только в памяти программы; "
                               "файл на диске не изменён.");
        showMessage(parent, text);
        return;
    }
    if (result.issues.empty() && fitted.isEmpty())
        return;

    constexpr int kListed = 12;
    QStringList lines = fitted;
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

    showMessage(parent,
                QStringLiteral("База данных сохранена, но не всё поместилось в файл так, как введено:\n") +
                    lines.join(QLatin1Char('\n')));
}

} // namespace zet::ui
