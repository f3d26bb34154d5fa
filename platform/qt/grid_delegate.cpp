#include "platform/qt/grid_delegate.h"

#include "platform/qt/dataset_model.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

namespace ctb::qt {

namespace {
constexpr int kButtonWidth = 18;

QIcon ellipsisIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    for (int i = 0; i < 3; ++i) {
        p.drawRect(3 + i * 4, 11, 1, 1);
    }
    return QIcon(pixmap);
}
}  // namespace

GridDelegate::GridDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {}

QRect GridDelegate::buttonRect(const QRect& cell) {
    return QRect(cell.right() - kButtonWidth + 1, cell.top(), kButtonWidth, cell.height());
}

bool GridDelegate::showsButton(const QModelIndex& index) const {
    return index.data(DataSetTableModel::LookupButtonRole).toBool() && view_->currentIndex() == index;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (!showsButton(index)) {
        return;
    }
    QStyleOptionButton button;
    button.rect = buttonRect(option.rect);
    button.text = QStringLiteral("...");
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter);
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                               const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease &&
        index.data(DataSetTableModel::LookupButtonRole).toBool()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Only a cell that already shows its button reacts, as in the classic grids.
        if (showsButton(index) && buttonRect(option.rect).contains(mouse->position().toPoint())) {
            emit editButtonClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress && leavingKey_) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Up:
            case Qt::Key_Down:
                if (auto* editor = qobject_cast<QWidget*>(object);
                    editor != nullptr && leavingKey_(editor, key)) {
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("cellEditor"));
    edit->setFrame(false);
    const QString mask = index.data(DataSetTableModel::InputMaskRole).toString();
    if (!mask.isEmpty()) {
        edit->setInputMask(mask);
    }
    if (index.data(DataSetTableModel::LookupButtonRole).toBool()) {
        QAction* button = edit->addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
        button->setObjectName(QStringLiteral("cellLookupButton"));
        const QPersistentModelIndex target(index);
        connect(button, &QAction::triggered, this, [this, target] {
            if (target.isValid()) {
                emit const_cast<GridDelegate*>(this)->editButtonClicked(target);
            }
        });
    }
    return edit;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (edit == nullptr) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    edit->setText(index.data(Qt::EditRole).toString());
    edit->selectAll();
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (edit == nullptr) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // An untouched editor must not put the table into edit state.
    if (!edit->isModified()) {
        return;
    }
    QString text = edit->text();
    if (!edit->inputMask().isEmpty()) {
        // Unfilled mask positions leave trailing literals ("1.1.01."): they are not part of the value.
        while (!text.isEmpty() && !text.back().isLetterOrNumber()) {
            text.chop(1);
        }
    }
    model->setData(index, text, Qt::EditRole);
}

}  // namespace ctb::qt
