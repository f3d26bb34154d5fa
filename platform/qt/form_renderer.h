#pragma once

#include "platform/qt/form_view.h"
#include "platform/ui/services.h"

#include <QPointer>

#include <map>
#include <memory>

class QDialog;
class QMdiArea;
class QMdiSubWindow;

namespace ctb::qt {

class QtUi;

// Creates and keeps the windows of forms: one view per form, reused when it is shown again.
class FormRenderer {
  public:
    explicit FormRenderer(QtUi* services) : services_(services) {}
    ~FormRenderer();

    // Whether MDI children open where the user last left them (QSettings of the application, group
    // "janelas"); otherwise, and the first time, they fill the main window's area.
    void setRememberPlaces(bool on) { rememberPlaces_ = on; }
    // The form as an MDI child of `area` (the host's main window); shown and activated.
    QMdiSubWindow* openInMdiArea(ui::Form& form, QMdiArea& area);
    // The form as a top-level window (no MDI area given).
    FormView* openWindow(ui::Form& form);
    // A modal dialog holding the form's view; the caller runs it.
    std::unique_ptr<QDialog> createDialog(ui::Form& form, QWidget* parent);
    [[nodiscard]] ui::ModalResult modalResultOf(ui::Form& form, QDialog& dialog) const;

    // The view of a form, when one was made.
    [[nodiscard]] FormView* viewOf(const ui::Form& form) const;

  private:
    QtUi* services_;
    bool rememberPlaces_ = false;
    std::map<const ui::Form*, QPointer<FormView>> views_;
};

}  // namespace ctb::qt
