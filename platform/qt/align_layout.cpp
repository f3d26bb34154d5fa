#include "platform/qt/align_layout.h"

#include <QWidget>

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
        for (const Entry& e : items_) {
            if (e.control == nullptr || e.control->align() != pass || e.item->widget()->isHidden()) {
                continue;
            }
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
            e.item->widget()->setGeometry(QRect(g.left, g.top, g.width, g.height));
        } else {
            const QSize size = defaultSize(*e.control);
            e.item->widget()->setGeometry(QRect(8, flowTop, size.width(), size.height()));
            flowTop += size.height() + 6;
        }
    }
}

}  // namespace ctb::qt
