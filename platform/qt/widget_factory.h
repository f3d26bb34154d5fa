#pragma once

#include "platform/qt/view_context.h"
#include "platform/ui/controls.h"

#include <QString>

class QWidget;

namespace ctb::qt {

// What a tool button shows: its caption; a lookup button without one the ellipsis; a speed button
// without one (it would carry a glyph) its hint, so that it is not an empty square.
[[nodiscard]] QString toolButtonText(const ui::Control& control);

// Edits drawn as a QLineEdit (the memo is a QPlainTextEdit).
[[nodiscard]] bool isLineEditKind(ui::ControlKind kind);

// Makes the widgets of a form's controls, one per control, and wires each widget's input signals to
// the control-model entry points (ui::user); the view keeps them agreeing with the model.
class WidgetFactory {
  public:
    // `menuHost` is the form's view: its vertical layout gets the menu bar.
    WidgetFactory(ViewContext& context, QWidget& menuHost) : context_(context), menuHost_(menuHost) {}

    // The widgets of every child of `container` (recursively), inside `parentWidget`.
    void build(ui::Container& container, QWidget* parentWidget);

  private:
    QWidget* createWidget(ui::Control& control, QWidget* parentWidget);
    void createMenu(ui::MenuItem& item, QWidget* menuOwner);

    ViewContext& context_;
    QWidget& menuHost_;
};

}  // namespace ctb::qt
