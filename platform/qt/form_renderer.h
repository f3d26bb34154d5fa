#pragma once

#include "platform/ui/data_controls.h"
#include "platform/ui/services.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <unordered_map>

class QAction;
class QDialog;
class QMdiArea;
class QMdiSubWindow;
class QTableView;

namespace ctb::qt {

class DataSetTableModel;
class QtUi;

// The real window of one control-model form. It builds a widget per control (objectName = control
// name) laid out from the model's layout data, follows the model through FormObserver, and turns
// user input into the entry points of ui::user (focus, keys, typing, clicks, grid moves and edits).
// Keys go to the model first, so screens see the same virtual key codes in every backend; the model
// stays the authority and the widgets show what it holds.
class FormView : public QWidget, private ui::FormObserver {
    Q_OBJECT
  public:
    FormView(ui::Form& form, QWidget* parent = nullptr);
    ~FormView() override;

    [[nodiscard]] ui::Form* form() const { return form_; }
    [[nodiscard]] QWidget* widgetOf(const ui::Control& control) const;
    [[nodiscard]] ui::Control* controlOf(const QWidget* widget) const;
    // The menu action of a menu item.
    [[nodiscard]] QAction* actionOf(const ui::Control& control) const;
    // The Qt model behind a grid's view (tests run QAbstractItemModelTester on it).
    [[nodiscard]] DataSetTableModel* gridModel(const ui::DBGrid& grid) const;
    // Puts the Qt keyboard focus where the model has it.
    void syncFocusFromModel();

  signals:
    // The form closed (modal result set or close()).
    void formClosed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build(ui::Container& container, QWidget* parentWidget);
    QWidget* createWidget(ui::Control& control, QWidget* parentWidget);
    void createMenu(ui::MenuItem& item, QWidget* menuOwner);
    void setupGrid(ui::DBGrid& grid, QTableView* view);
    void refresh(ui::Control& control, ui::Change what);
    void refreshAll(ui::Control& control);
    void refreshText(ui::Control& control);
    void refreshGridSelection(ui::DBGrid& grid);
    void rebuildGridColumns(ui::DBGrid& grid);
    void onQtFocusChanged(QWidget* old, QWidget* now);
    bool handleKey(ui::Control& control, QKeyEvent* event);
    void typeWithoutKey(ui::Control& control, QChar ch);
    // Runs one user action and then makes the widgets agree with the model again.
    void afterAction(ui::Control* control);

    void controlChanged(ui::Control& control, ui::Change what) override;
    void focusChanged(ui::Control* previous, ui::Control* current) override;
    void formDestroyed(ui::Form& form) override;

    ui::Form* form_;
    std::unordered_map<const ui::Control*, QWidget*> widgets_;
    std::unordered_map<const QWidget*, ui::Control*> controls_;
    std::unordered_map<const ui::Control*, QObject*> actions_;  // menu items
    struct GridBinding {
        QTableView* view = nullptr;
        DataSetTableModel* model = nullptr;
        std::vector<int> gridColumnOfView;  // effectiveColumns index per view column
    };
    std::unordered_map<const ui::DBGrid*, GridBinding> grids_;
    QWidget* client_ = nullptr;
    int syncing_ = 0;
    Qt::FocusReason lastFocusInReason_ =
        Qt::OtherFocusReason;  // >0 while the view applies model state (ignore the echoes)
};

// Creates and keeps the windows of forms: one view per form, reused when it is shown again.
class FormRenderer {
  public:
    explicit FormRenderer(QtUi* services) : services_(services) {}
    ~FormRenderer();

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
    std::map<const ui::Form*, QPointer<FormView>> views_;
};

}  // namespace ctb::qt
