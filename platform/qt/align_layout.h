#pragma once

#include "platform/ui/controls.h"

#include <QLayout>

#include <vector>

namespace ctb::qt {

// Lays out a container's children from the control model's layout data: aligned children fill
// their side of the remaining area in order (top, bottom, left, right, then client; children of one
// side by their position, the one nearest that side first, then in child order), the others sit
// at their own position. A child with no size gets a default one below the previous unplaced child,
// so a form without layout data is still usable.
class AlignLayout : public QLayout {
  public:
    explicit AlignLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }
    ~AlignLayout() override;

    void addControl(QWidget* widget, const ui::Control* control);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override { return {0, 0}; }
    void setGeometry(const QRect& rect) override;

  private:
    struct Entry {
        QLayoutItem* item;
        const ui::Control* control;
    };
    std::vector<Entry> items_;
};

}  // namespace ctb::qt
