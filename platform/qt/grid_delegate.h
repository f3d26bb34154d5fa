#pragma once

#include <QStyledItemDelegate>

#include <functional>

class QAbstractItemView;

namespace ctb::qt {

// Paints and edits grid cells: an ellipsis button in the current cell of a lookup column (also
// inside its editor), the field's input mask while editing.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit GridDelegate(QAbstractItemView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // Keys that leave a cell (Tab, Enter, Up, Down) in an open editor go here first; returning true
    // takes the key from the delegate's own handling.
    using LeavingKeyHandler = std::function<bool(QWidget* editor, QKeyEvent* event)>;
    void setLeavingKeyHandler(LeavingKeyHandler handler) { leavingKey_ = std::move(handler); }

    // Where the ellipsis button of a cell is drawn, in view coordinates.
    [[nodiscard]] static QRect buttonRect(const QRect& cell);

  signals:
    void editButtonClicked(const QModelIndex& index);

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

  private:
    [[nodiscard]] bool showsButton(const QModelIndex& index) const;

    QAbstractItemView* view_;
    LeavingKeyHandler leavingKey_;
};

}  // namespace ctb::qt
