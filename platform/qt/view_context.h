#pragma once

#include "platform/ui/controls.h"

class QAction;
class QObject;
class QWidget;

namespace ctb::qt {

// What the widget factory and the grid bindings need from the view of a form: where to register
// the widgets they make, whether a widget's signal is the echo of the model being shown (and not
// the user), and the step that makes every widget agree with the model after a user action.
class ViewContext {
  public:
    // Keeps the view "applying the model" for a scope (re-entrant, unlike a bool).
    class Applying {
      public:
        explicit Applying(ViewContext& context) : context_(context) { ++context_.applying_; }
        ~Applying() { --context_.applying_; }
        Applying(const Applying&) = delete;
        Applying& operator=(const Applying&) = delete;

      private:
        ViewContext& context_;
    };

    ViewContext() = default;
    ViewContext(const ViewContext&) = delete;
    ViewContext& operator=(const ViewContext&) = delete;

    // True while the view writes model state into widgets: their signals are echoes then.
    [[nodiscard]] bool applyingModel() const { return applying_ > 0; }

    [[nodiscard]] virtual ui::Form* viewedForm() const = 0;
    [[nodiscard]] virtual ui::Control* controlOf(const QWidget* widget) const = 0;
    // The widget made for a control (objectName = control name), or a menu item's action.
    virtual void registerWidget(ui::Control& control, QWidget* widget) = 0;
    virtual void registerAction(ui::Control& item, QAction* action) = 0;
    // Watches a focusable widget's focus, key and mouse events.
    [[nodiscard]] virtual QObject* inputFilter() = 0;
    // After one user action: the handlers may have refused what Qt already shows.
    virtual void afterAction(ui::Control* control) = 0;

  protected:
    ~ViewContext() = default;

  private:
    int applying_ = 0;
};

}  // namespace ctb::qt
