#pragma once

#include "platform/qt/busy_indicator.h"
#include "platform/ui/services.h"

#include <QPointer>

#include <functional>

class QDialog;
class QMdiArea;
class QWidget;

namespace ctb::qt {

class FormRenderer;

// The UI services as real windows: QMessageBox with "OK" / "Sim" / "Não", the lookup dialog, forms
// rendered as MDI children or modal dialogs, and the busy animation (wait cursor plus spinner).
class QtUi : public ui::UiServices {
  public:
    QtUi();
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    // Where screens open as child windows; without one they open as top-level windows.
    void setMdiArea(QMdiArea* area);
    [[nodiscard]] QMdiArea* mdiArea() const { return mdiArea_; }
    // Parent of message boxes and dialogs when no window is active (the host's main window).
    void setMainWindow(QWidget* window);

    void showMessage(ui::MessageKind kind, const QString& text) override;
    [[nodiscard]] bool askYesNo(const QString& text) override;
    void showForm(ui::Form& form) override;
    ui::ModalResult showModal(ui::Form& form) override;
    [[nodiscard]] std::vector<int> lookup(const ui::LookupRequest& request) override;
    void busyOn() override { busy_.on(); }
    void busyOff() override { busy_.off(); }
    [[nodiscard]] int busyDepth() const override { return busy_.depth(); }

    // The print preview of the document (printer or PDF); kept in printed() as well.
    void printDocument(const report::Document& document) override;
    // Qt's file dialog in save mode.
    [[nodiscard]] QString askSaveFileName(const QString& title, const QString& suggestedName,
                                          const QString& filter) override;
    [[nodiscard]] const std::vector<report::Document>& printed() const { return printed_; }
    // The application's clipboard (QApplication::clipboard()).
    [[nodiscard]] QString clipboardText() const override;
    void setClipboardText(const QString& text) override;

    // Runs `work` off the GUI thread with the windows painting and user input held back, under the
    // busy animation: how server calls stay synchronous without freezing the window.
    void runBlocking(const std::function<void()>& work) override;

    // Called from inside every modal loop this object starts (message box, question, lookup, modal
    // form), once the dialog is up: lets a script runner answer it. Never called re-entrantly for the
    // same dialog.
    void setDialogHook(std::function<void(QDialog*)> hook) { dialogHook_ = std::move(hook); }

    [[nodiscard]] FormRenderer& renderer() { return *renderer_; }
    [[nodiscard]] BusyIndicator& busyIndicator() { return busy_; }

  private:
    [[nodiscard]] QWidget* dialogParent() const;
    int execDialog(QDialog& dialog);

    QPointer<QMdiArea> mdiArea_;
    QPointer<QWidget> mainWindow_;
    BusyIndicator busy_;
    std::unique_ptr<FormRenderer> renderer_;
    std::function<void(QDialog*)> dialogHook_;
    std::vector<report::Document> printed_;
};

}  // namespace ctb::qt
