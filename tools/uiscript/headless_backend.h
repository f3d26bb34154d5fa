#pragma once

// The headless backend: the control model itself, with answers and picks from the script's queues
// and every message recorded.

#include "platform/ui/data_controls.h"
#include "tools/uiscript/backend.h"

namespace ctb::uiscript {

class HeadlessBackend : public Backend {
  public:
    [[nodiscard]] ui::UiServices& services() override { return ui_; }
    void setModalLoop(std::function<void(ui::Form&)> loop) override { ui_.setModalLoop(std::move(loop)); }

    void focus(const QString& control) override;
    void type(const QString& control, const QString& text) override;
    void key(const QString& control, int virtualKey, ui::ShiftState shift) override;
    void click(const QString& control) override;
    void selectColumn(const QString& grid, const QString& field) override;
    void selectRow(const QString& grid, int row1) override;
    void editCell(const QString& grid, const QString& field, const QString& text) override;

    void queueAnswer(bool yes) override { ui_.queueAnswer(yes); }
    void queuePick(const QStringList& keys) override;

    [[nodiscard]] std::optional<ui::HeadlessUi::Message> takeMessage() override { return ui_.takeMessage(); }
    [[nodiscard]] QStringList takeProblems() override;
    [[nodiscard]] ui::Control* findControl(const QString& name) const override;
    [[nodiscard]] bool isEnabled(const QString& control) const override;
    [[nodiscard]] bool isVisible(const QString& control) const override;
    [[nodiscard]] bool isFocused(const QString& control) const override;
    [[nodiscard]] QString text(const QString& control) const override;

    [[nodiscard]] ui::HeadlessUi& headless() { return ui_; }

  private:
    [[nodiscard]] ui::Control& control(const QString& name) const;  // throws BackendError
    [[nodiscard]] ui::DBGrid& grid(const QString& name) const;
    ui::HeadlessUi ui_;
};

// A script acts only on what a user could reach: visible and enabled (a tab by its page control).
// Throws BackendError otherwise.
void requireUsable(const ui::Control& control);

// What `expect visible` means: the control and every container of it shown, its tab page the active
// one, and its form on the screen.
[[nodiscard]] bool seenByAPerson(const ui::Control& control);

// Looks a name up in the modal forms (innermost first), then in the shown forms (latest first).
[[nodiscard]] ui::Control* findInForms(const std::vector<ui::Form*>& modalStack,
                                       const std::vector<ui::Form*>& shown, const QString& name);

}  // namespace ctb::uiscript
