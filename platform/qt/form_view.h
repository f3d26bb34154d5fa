#pragma once

#include "platform/qt/view_context.h"
#include "platform/ui/data_controls.h"
#include "platform/ui/services.h"

#include <QWidget>

#include <unordered_map>

class QAction;
class QKeyEvent;
class QLineEdit;
class QTableView;

namespace ctb::qt {

class DataSetTableModel;
class GridBinding;

// The real window of one control-model form. The widget factory builds a widget per control
// (objectName = control name) laid out from the model's layout data; the view follows the model
// through FormObserver and turns user input into the entry points of ui::user (focus, keys, typing,
// clicks, grid moves and edits). Keys go to the model first, so screens see the same virtual key
// codes in every backend; the model stays the authority and the widgets show what it holds.
class FormView : public QWidget, private ui::FormObserver, private ViewContext {
    Q_OBJECT
  public:
    FormView(ui::Form& form, QWidget* parent = nullptr);
    ~FormView() override;

    [[nodiscard]] ui::Form* form() const { return form_; }
    [[nodiscard]] QWidget* widgetOf(const ui::Control& control) const;
    [[nodiscard]] ui::Control* controlOf(const QWidget* widget) const override;
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
    [[nodiscard]] GridBinding* bindingOf(const ui::Control& control) const;
    void refresh(ui::Control& control, ui::Change what);
    void refreshAll(ui::Control& control);
    void refreshText(ui::Control& control);
    void onQtFocusChanged(QWidget* old, QWidget* now);
    bool handleKey(ui::Control& control, QKeyEvent* event);
    // A character, an erasing or a clipboard key in a line edit or memo: the model's handlers run,
    // then the widget applies it at its cursor (the model hears the new text, never moves the cursor).
    bool handleEditKey(ui::Control& control, QWidget& widget, QKeyEvent* event);
    bool handleGridKey(ui::DBGrid& grid, QTableView& view, QKeyEvent* event);
    void typeWithoutKey(ui::Control& control, QChar ch);

    // ViewContext
    [[nodiscard]] ui::Form* viewedForm() const override { return form_; }
    void registerWidget(ui::Control& control, QWidget* widget) override;
    void registerAction(ui::Control& item, QAction* action) override;
    [[nodiscard]] QObject* inputFilter() override { return this; }
    // Runs after one user action and makes the widgets agree with the model again.
    void afterAction(ui::Control* control) override;

    // FormObserver
    void controlChanged(ui::Control& control, ui::Change what) override;
    void focusChanged(ui::Control* previous, ui::Control* current) override;
    void formDestroyed(ui::Form& form) override;

    ui::Form* form_;
    std::unordered_map<const ui::Control*, QWidget*> widgets_;
    std::unordered_map<const QWidget*, ui::Control*> controls_;
    std::unordered_map<const ui::Control*, QAction*> actions_;   // menu items
    std::unordered_map<const ui::DBGrid*, GridBinding*> grids_;  // owned by their table views
    QWidget* client_ = nullptr;
    Qt::FocusReason lastFocusInReason_ = Qt::OtherFocusReason;
    int forwarding_ = 0;  // >0 while a key this view made goes to its widget
    // While a grid's key goes to its open cell editor: set when the editor let the key go back up.
    bool toCellEditor_ = false;
    bool cellEditorIgnored_ = false;
};

}  // namespace ctb::qt
