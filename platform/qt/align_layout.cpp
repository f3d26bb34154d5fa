#include "platform/qt/align_layout.h"

#include <QWidget>

#include <algorithm>

namespace ctb::qt {

namespace {

QSize defaultSize(const ui::Control& control) {
    switch (control.kind()) {
        case ui::ControlKind::Label:
            return {120, 20};
        case ui::ControlKind::LookupButton:
            return {24, 24};
        case ui::ControlKind::Memo:
            return {300, 80};
        case ui::ControlKind::DBGrid:
            return {400, 160};
        case ui::ControlKind::Panel:
        case ui::ControlKind::GroupBox:
        case ui::ControlKind::PageControl:
            return {400, 120};
        default:
            return {120, 24};
    }
}

// Smaller is nearer the side an aligned control fills.
int outerness(const ui::Rect& g, ui::Align align) {
    switch (align) {
        case ui::Align::Top:
            return g.top;
        case ui::Align::Bottom:
            return -(g.top + g.height);
        case ui::Align::Left:
            return g.left;
        case ui::Align::Right:
            return -(g.left + g.width);
        default:
            return 0;
    }
}

// The control's rectangle when its container is `actual` in size: the growth over the container's
// designed size moves or stretches it by its anchors (no design size, no growth).
QRect anchored(const ui::Control& control, const QSize& actual) {
    const ui::Rect& g = control.geometry();
    const ui::Anchors& a = control.anchors();
    const ui::Rect design = control.parent() != nullptr ? control.parent()->geometry() : ui::Rect{};
    const int dx = design.width > 0 ? actual.width() - design.width : 0;
    const int dy = design.height > 0 ? actual.height() - design.height : 0;
    int left = g.left;
    int top = g.top;
    int width = g.width;
    int height = g.height;
    if (a.right && a.left) {
        width = std::max(8, width + dx);
    } else if (a.right) {
        left += dx;
    }
    if (a.bottom && a.top) {
        height = std::max(8, height + dy);
    } else if (a.bottom) {
        top += dy;
    }
    return {left, top, width, height};
}

}  // namespace

AlignLayout::~AlignLayout() {
    for (Entry& e : items_) {
        delete e.item;
    }
}

void AlignLayout::addControl(QWidget* widget, const ui::Control* control) {
    addChildWidget(widget);
    items_.push_back(Entry{new QWidgetItem(widget), control});
    invalidate();
}

void AlignLayout::addItem(QLayoutItem* item) {
    items_.push_back(Entry{item, nullptr});
}

QLayoutItem* AlignLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* AlignLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = items_[static_cast<std::size_t>(index)].item;
    items_.erase(items_.begin() + index);
    return item;
}

QSize AlignLayout::sizeHint() const {
    QRect bounds;
    for (const Entry& e : items_) {
        if (e.control != nullptr && e.control->align() == ui::Align::None) {
            const ui::Rect& g = e.control->geometry();
            bounds |= QRect(g.left, g.top, g.width, g.height);
        }
    }
    return bounds.isEmpty() ? QSize(200, 100) : QSize(bounds.right() + 8, bounds.bottom() + 8);
}

void AlignLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    QRect remaining = contentsRect();
    const ui::Align order[] = {ui::Align::Top, ui::Align::Bottom, ui::Align::Left, ui::Align::Right,
                               ui::Align::Client};
    for (ui::Align pass : order) {
        std::vector<const Entry*> side;
        for (const Entry& e : items_) {
            if (e.control != nullptr && e.control->align() == pass && !e.item->widget()->isHidden()) {
                side.push_back(&e);
            }
        }
        // As the form designer stacks them: by position towards the side they fill (the outermost
        // first), then in child order.
        std::stable_sort(side.begin(), side.end(), [pass](const Entry* a, const Entry* b) {
            return outerness(a->control->geometry(), pass) < outerness(b->control->geometry(), pass);
        });
        for (const Entry* entry : side) {
            const Entry& e = *entry;
            const ui::Rect& g = e.control->geometry();
            const QSize fallback = defaultSize(*e.control);
            const int h = g.height > 0 ? g.height : fallback.height();
            const int w = g.width > 0 ? g.width : fallback.width();
            switch (pass) {
                case ui::Align::Top:
                    e.item->widget()->setGeometry(
                        QRect(remaining.left(), remaining.top(), remaining.width(), h));
                    remaining.setTop(remaining.top() + h);
                    break;
                case ui::Align::Bottom:
                    e.item->setGeometry(
                        QRect(remaining.left(), remaining.bottom() - h + 1, remaining.width(), h));
                    remaining.setBottom(remaining.bottom() - h);
                    break;
                case ui::Align::Left:
                    e.item->widget()->setGeometry(
                        QRect(remaining.left(), remaining.top(), w, remaining.height()));
                    remaining.setLeft(remaining.left() + w);
                    break;
                case ui::Align::Right:
                    e.item->setGeometry(
                        QRect(remaining.right() - w + 1, remaining.top(), w, remaining.height()));
                    remaining.setRight(remaining.right() - w);
                    break;
                default:
                    e.item->widget()->setGeometry(remaining);
                    break;
            }
        }
    }
    int flowTop = 8;
    for (const Entry& e : items_) {
        if (e.control == nullptr) {
            e.item->setGeometry(QRect(remaining.topLeft(), e.item->sizeHint()));
            continue;
        }
        if (e.control->align() != ui::Align::None) {
            continue;
        }
        const ui::Rect& g = e.control->geometry();
        // Positions are in the parent's client coordinates, as designed; the widget's own size
        // policy must not stretch or centre it.
        if (g.width > 0 && g.height > 0) {
            e.item->widget()->setGeometry(anchored(*e.control, e.item->widget()->parentWidget()->size()));
        } else {
            const QSize size = defaultSize(*e.control);
            e.item->widget()->setGeometry(QRect(8, flowTop, size.width(), size.height()));
            flowTop += size.height() + 6;
        }
    }
}

}  // namespace ctb::qt
