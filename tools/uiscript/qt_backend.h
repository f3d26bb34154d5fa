#pragma once

// The --qt half of the UI script runner: the same verbs as the headless backend, but every action
// goes through the real widgets (offscreen) with QTest, and every message box, question and lookup
// dialog is a real dialog answered from the script's queues.

#include "platform/ui/data_controls.h"
#include "platform/ui/services.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QMainWindow;
class QMdiArea;
class QWidget;

namespace ctb::qt {
class QtUi;
class FormView;
}  // namespace ctb::qt

namespace ctb::uiscript {

class QtBackend {
  public:
    struct Message {
        ui::MessageKind kind;
        QString text;
    };

    // Needs a QApplication (offscreen platform). Builds the host's main window with its MDI area.
    QtBackend();
    ~QtBackend();
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // The services to give the forms (and the host library).
    [[nodiscard]] ui::UiServices& services();
    [[nodiscard]] qt::QtUi& qtUi();
    [[nodiscard]] QMainWindow& mainWindow();
    [[nodiscard]] QMdiArea& mdiArea();
    // Runs the script's next lines while a modal form is up; returns when the form has closed.
    void setModalLoop(std::function<void(ui::Form&)> loop) { modalLoop_ = std::move(loop); }

    // ---- the verbs; false when the control has no widget or the action was refused ----
    bool focus(ui::Control& control);
    bool type(ui::Control& control, const QString& text);
    bool key(ui::Control& control, int virtualKey, ui::ShiftState shift);
    // Focus as a click would, then `text` as real key events ({Home}, {CtrlA}... are named keys).
    // False with `error` set when the text names an unknown key.
    bool keys(ui::Control& control, const QString& text, QString* error);
    bool click(ui::Control& control);
    bool selectColumn(ui::DBGrid& grid, const QString& fieldName);
    bool selectRow(ui::DBGrid& grid, int row1);
    bool editCell(ui::DBGrid& grid, const QString& fieldName, const QString& text);
    bool editButton(ui::DBGrid& grid);

    void queueAnswer(bool yes) { answers_.push_back(yes); }
    void queuePick(const QStringList& keys) { picks_.push_back(keys); }
    void queuePickNone() { picks_.push_back(QStringList()); }

    // ---- what happened ----
    [[nodiscard]] std::optional<Message> takeMessage();
    [[nodiscard]] std::deque<Message>& messages() { return messages_; }
    // Every message box shown so far, read or not.
    [[nodiscard]] std::size_t messagesShown() const { return messagesShown_; }
    [[nodiscard]] const std::vector<QString>& problems() const { return problems_; }
    void clearProblems() { problems_.clear(); }
    [[nodiscard]] std::size_t pendingAnswers() const { return answers_.size(); }
    [[nodiscard]] std::size_t pendingPicks() const { return picks_.size(); }

    // ---- what the widgets show, to check the model's word against the window ----
    [[nodiscard]] QWidget* widgetOf(const ui::Control& control) const;
    // The text the widget shows (edits, labels, buttons); null when it has none.
    [[nodiscard]] std::optional<QString> widgetText(const ui::Control& control) const;
    [[nodiscard]] bool widgetEnabled(const ui::Control& control) const;
    [[nodiscard]] bool widgetVisible(const ui::Control& control) const;
    [[nodiscard]] bool widgetFocused(const ui::Control& control) const;

  private:
    void answer(QDialog* dialog);
    [[nodiscard]] qt::FormView* viewOf(const ui::Control& control) const;
    [[nodiscard]] bool clickCell(ui::DBGrid& grid, int row, int gridColumn);

    std::unique_ptr<QMainWindow> window_;
    QMdiArea* area_ = nullptr;
    std::unique_ptr<qt::QtUi> ui_;
    std::function<void(ui::Form&)> modalLoop_;
    std::deque<bool> answers_;
    std::deque<QStringList> picks_;
    std::deque<Message> messages_;
    std::size_t messagesShown_ = 0;
    std::vector<QString> problems_;
};

}  // namespace ctb::uiscript
