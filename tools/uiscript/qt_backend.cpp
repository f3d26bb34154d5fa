#include "tools/uiscript/qt_backend.h"

#include "platform/dataset/client_dataset.h"
#include "platform/qt/dataset_model.h"
#include "platform/qt/form_renderer.h"
#include "platform/qt/lookup_dialog.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/widget_driver.h"
#include "platform/ui/user_input.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <QTextCursor>

#include <algorithm>
#include <map>

namespace ctb::uiscript {

namespace {

ui::MessageKind kindOf(const QMessageBox& box) {
    switch (box.icon()) {
        case QMessageBox::Critical:
        case QMessageBox::Warning:
            return ui::MessageKind::Error;
        case QMessageBox::Question:
            return ui::MessageKind::Question;
        default:
            return ui::MessageKind::Information;
    }
}

void press(QWidget* root, const char* name) {
    if (auto* button = root->findChild<QPushButton*>(QString::fromLatin1(name))) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

}  // namespace

QtBackend::QtBackend() : window_(std::make_unique<QMainWindow>()), ui_(std::make_unique<qt::QtUi>()) {
    window_->setObjectName(QStringLiteral("frmPrincipal"));
    window_->setWindowTitle(QStringLiteral("Contabilidade"));
    area_ = new QMdiArea(window_.get());
    area_->setObjectName(QStringLiteral("mdiArea"));
    window_->setCentralWidget(area_);
    window_->resize(1024, 700);
    ui_->setMainWindow(window_.get());
    ui_->setMdiArea(area_);
    ui_->setDialogHook([this](QDialog* dialog) { answer(dialog); });
    window_->show();
    (void)QTest::qWaitForWindowExposed(window_.get());
    qt::driver::activate(window_.get());
}

QtBackend::~QtBackend() = default;

ui::UiServices& QtBackend::services() {
    return *ui_;
}
qt::QtUi& QtBackend::qtUi() {
    return *ui_;
}
QMainWindow& QtBackend::mainWindow() {
    return *window_;
}
QMdiArea& QtBackend::mdiArea() {
    return *area_;
}

void QtBackend::answer(QDialog* dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        const ui::MessageKind kind = kindOf(*box);
        messages_.push_back(Message{kind, box->text()});
        ++messagesShown_;
        if (kind != ui::MessageKind::Question) {
            press(box, "btnOK");
            return;
        }
        if (answers_.empty()) {
            problems_.push_back(QStringLiteral("pergunta \"%1\" sem resposta na fila").arg(box->text()));
            press(box, "btnNao");
            return;
        }
        const bool yes = answers_.front();
        answers_.pop_front();
        press(box, yes ? "btnSim" : "btnNao");
        return;
    }
    if (auto* lookup = qobject_cast<qt::LookupDialog*>(dialog)) {
        if (picks_.empty()) {
            problems_.push_back(
                QStringLiteral("pesquisa \"%1\" sem escolha na fila").arg(lookup->windowTitle()));
            press(lookup, "btnCancelar");
            return;
        }
        const QStringList keys = picks_.front();
        picks_.pop_front();
        if (keys.isEmpty()) {
            press(lookup, "btnCancelar");
            return;
        }
        const QStringList wanted = lookup->isMultiple() ? keys : QStringList{keys.front()};
        if (!lookup->selectKeys(wanted)) {
            problems_.push_back(QStringLiteral("pesquisa \"%1\": a chave \"%2\" não está na lista")
                                    .arg(lookup->windowTitle(), keys.join(u',')));
            press(lookup, "btnCancelar");
            return;
        }
        press(lookup, "btnOK");
        return;
    }
    if (auto* view = dialog->findChild<qt::FormView*>(); view != nullptr && view->form() != nullptr) {
        qt::driver::activate(dialog);
        view->syncFocusFromModel();
        if (modalLoop_) {
            modalLoop_(*view->form());
        } else {
            problems_.push_back(
                QStringLiteral("diálogo \"%1\" aberto sem nada que o conduza").arg(view->form()->name()));
        }
        if (dialog->isVisible()) {
            dialog->reject();
        }
        return;
    }
    dialog->reject();
}

std::optional<QtBackend::Message> QtBackend::takeMessage() {
    if (messages_.empty()) {
        return std::nullopt;
    }
    Message m = messages_.front();
    messages_.pop_front();
    return m;
}

qt::FormView* QtBackend::viewOf(const ui::Control& control) const {
    ui::Form* form = control.form();
    return form != nullptr ? ui_->renderer().viewOf(*form) : nullptr;
}

QWidget* QtBackend::widgetOf(const ui::Control& control) const {
    qt::FormView* view = viewOf(control);
    return view != nullptr ? view->widgetOf(control) : nullptr;
}

bool QtBackend::focus(ui::Control& control) {
    QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return ui::user::focus(control);
    }
    if (widget->focusPolicy() == Qt::NoFocus || control.isContainer()) {
        // Containers pass the focus on: the model picks the control, the window follows.
        const bool ok = ui::user::focus(control);
        if (qt::FormView* view = viewOf(control)) {
            view->syncFocusFromModel();
        }
        qt::driver::settle();
        return ok;
    }
    qt::driver::focus(widget);
    if (control.form() != nullptr && control.form()->activeControl() != &control && widget->hasFocus()) {
        // Qt had the focus there already (the model had lost it with a page switch): no focus event
        // told the model, so tell it as the window would on a click.
        ui::user::focus(control);
    }
    return control.form() != nullptr && control.form()->activeControl() == &control;
}

bool QtBackend::type(ui::Control& control, const QString& text) {
    QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return ui::user::type(control, text);
    }
    if (!focus(control)) {
        return false;
    }
    if (control.kind() == ui::ControlKind::DBGrid) {
        auto& grid = static_cast<ui::DBGrid&>(control);
        if (Field* f = grid.selectedField()) {
            ui::user::editCell(grid, f->fieldName(), QString());
        }
    } else if (!control.text().isEmpty()) {
        // Select everything, then the typed characters replace it.
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            ui::user::setText(control, QString());
        }
    }
    QWidget* target = widget;
    for (QChar c : text) {
        if (control.form() != nullptr && control.form()->activeControl() != &control) {
            break;  // a handler moved the focus away: the rest goes nowhere
        }
        if (c.unicode() < 0x80 && c.isPrint()) {
            QTest::keyClick(target, c.toLatin1());
        } else {
            const QString one(c);
            QTest::sendKeyEvent(QTest::KeyAction::Press, target, Qt::Key_unknown, one, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::KeyAction::Release, target, Qt::Key_unknown, one, Qt::NoModifier);
        }
    }
    qt::driver::settle();
    return true;
}

bool QtBackend::key(ui::Control& control, int virtualKey, ui::ShiftState shift) {
    QWidget* widget = widgetOf(control);
    if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) {
        return ui::user::key(control, virtualKey, shift);
    }
    if (!focus(control)) {
        return false;
    }
    qt::driver::pressKey(widget, virtualKey, shift.ctrl, shift.shift);
    return true;
}

namespace {

// One step of a `keys` text: a named key or a typed character.
struct KeyStep {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QChar ch;  // typed when key is Key_unknown
};

std::optional<std::vector<KeyStep>> keySteps(const QString& text, QString* error) {
    auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        KeyStep step;
        step.key = k;
        step.modifiers = modifiers;
        return step;
    };
    static const std::map<QString, KeyStep> named = {
        {QStringLiteral("Home"), key(Qt::Key_Home)},
        {QStringLiteral("End"), key(Qt::Key_End)},
        {QStringLiteral("Left"), key(Qt::Key_Left)},
        {QStringLiteral("Right"), key(Qt::Key_Right)},
        {QStringLiteral("BackSpace"), key(Qt::Key_Backspace)},
        {QStringLiteral("Delete"), key(Qt::Key_Delete)},
        {QStringLiteral("Tab"), key(Qt::Key_Tab)},
        {QStringLiteral("Enter"), key(Qt::Key_Return)},
        {QStringLiteral("Escape"), key(Qt::Key_Escape)},
        {QStringLiteral("CtrlA"), key(Qt::Key_A, Qt::ControlModifier)},
    };
    std::vector<KeyStep> steps;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'{') {
            const qsizetype close = text.indexOf(u'}', i);
            const QString name = close > i ? text.mid(i + 1, close - i - 1) : QString();
            auto it = named.find(name);
            if (it == named.end()) {
                *error = QStringLiteral(
                             "tecla desconhecida em keys: {%1}; as teclas com nome são {Home} {End} "
                             "{Left} {Right} {BackSpace} {Delete} {Tab} {Enter} {Escape} {CtrlA}")
                             .arg(name);
                return std::nullopt;
            }
            steps.push_back(it->second);
            i = close;
            continue;
        }
        KeyStep step;
        step.ch = text[i];
        steps.push_back(step);
    }
    return steps;
}

}  // namespace

bool QtBackend::keys(ui::Control& control, const QString& text, QString* error) {
    const auto steps = keySteps(text, error);
    if (!steps) {
        return false;
    }
    QWidget* widget = widgetOf(control);
    if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) {
        *error = QStringLiteral("keys: %1 não recebe o foco").arg(control.name());
        return false;
    }
    // As a click would: the model hears the focus move, the cursor stands at the end of the text.
    qt::driver::activate(widget);
    if (!widget->hasFocus()) {
        widget->setFocus(Qt::MouseFocusReason);
        qt::driver::settle();
    }
    if (control.form() == nullptr || control.form()->activeControl() != &control) {
        return false;  // an exit handler kept the focus elsewhere: its message tells why
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->deselect();
        edit->end(false);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        memo->moveCursor(QTextCursor::End);
    }
    for (const KeyStep& step : *steps) {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : widget;
        if (step.key != Qt::Key_unknown) {
            QTest::keyClick(target, step.key, step.modifiers);
        } else if (step.ch.unicode() < 0x80 && step.ch.isPrint()) {
            QTest::keyClick(target, step.ch.toLatin1());
        } else {
            const QString one(step.ch);
            QTest::sendKeyEvent(QTest::KeyAction::Press, target, Qt::Key_unknown, one, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::KeyAction::Release, target, Qt::Key_unknown, one, Qt::NoModifier);
        }
        qt::driver::settle();
    }
    return true;
}

bool QtBackend::click(ui::Control& control) {
    // A grid is clicked on the ellipsis of its current cell; a handler's refusal is an ordinary outcome
    // (its message is read next).
    if (control.kind() == ui::ControlKind::DBGrid) {
        editButton(static_cast<ui::DBGrid&>(control));
        return true;
    }
    if (control.kind() == ui::ControlKind::MenuItem) {
        qt::FormView* view = viewOf(control);
        QAction* action = view != nullptr ? view->actionOf(control) : nullptr;
        if (action == nullptr || !action->isEnabled()) {
            return false;
        }
        action->trigger();
        qt::driver::settle();
        return true;
    }
    QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return ui::user::click(control);
    }
    if (!qt::driver::clickable(widget)) {
        return false;
    }
    qt::driver::click(widget);
    return true;
}

bool QtBackend::clickCell(ui::DBGrid& grid, int row, int gridColumn) {
    auto* view = qobject_cast<QTableView*>(widgetOf(grid));
    qt::FormView* form = viewOf(grid);
    if (view == nullptr || form == nullptr) {
        return false;
    }
    qt::DataSetTableModel* model = form->gridModel(grid);
    const auto cols = grid.effectiveColumns();
    if (gridColumn < 0 || gridColumn >= static_cast<int>(cols.size()) || model == nullptr) {
        return false;
    }
    const int viewColumn = model->columnOf(cols[static_cast<std::size_t>(gridColumn)].fieldName);
    const QModelIndex index = model->index(row, viewColumn);
    if (!index.isValid()) {
        return false;
    }
    qt::driver::activate(view);
    view->scrollTo(index);
    const QRect cell = view->visualRect(index);
    // Left part of the cell: clear of the lookup button on its right.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(cell.left() + 4, cell.center().y()));
    qt::driver::settle();
    return true;
}

bool QtBackend::selectColumn(ui::DBGrid& grid, const QString& fieldName) {
    ClientDataSet* table = grid.dataSet();
    const int row = table != nullptr && table->active() ? std::max(0, table->currentViewRow()) : 0;
    const int column = grid.columnIndex(fieldName);
    if (column < 0 || table == nullptr || table->viewRowCount() == 0) {
        return ui::user::selectColumn(grid, fieldName);
    }
    return clickCell(grid, row, column) && grid.selectedIndex() == column;
}

bool QtBackend::selectRow(ui::DBGrid& grid, int row1) {
    ClientDataSet* table = grid.dataSet();
    if (table == nullptr || row1 < 1 || row1 > table->viewRowCount()) {
        return ui::user::selectRow(grid, row1);
    }
    return clickCell(grid, row1 - 1, grid.selectedIndex()) && table->currentViewRow() == row1 - 1;
}

bool QtBackend::editCell(ui::DBGrid& grid, const QString& fieldName, const QString& text) {
    const std::size_t shownBefore = messagesShown_;
    if (!selectColumn(grid, fieldName)) {
        if (messagesShown_ != shownBefore) {
            return false;  // a handler refused the column move and said why: nothing is typed
        }
        return ui::user::editCell(grid, fieldName, text);
    }
    auto* view = qobject_cast<QTableView*>(widgetOf(grid));
    ClientDataSet* table = grid.dataSet();
    qt::DataSetTableModel* model = viewOf(grid)->gridModel(grid);
    const QModelIndex index = model->index(table->currentViewRow(), model->columnOf(fieldName));
    if (!index.isValid() || !(model->flags(index) & Qt::ItemIsEditable)) {
        return ui::user::editCell(grid, fieldName, text);
    }
    // Qt's in-place editor: open it, type, Enter commits (on the next event-loop turn).
    view->setCurrentIndex(index);
    view->edit(index);
    qt::driver::settle();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (editor == nullptr) {
        return ui::user::editCell(grid, fieldName, text);
    }
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    editor->setCursorPosition(0);
    for (QChar c : text) {
        if (c.unicode() < 0x80 && c.isPrint()) {
            QTest::keyClick(editor, c.toLatin1());
        } else {
            const QString one(c);
            QTest::sendKeyEvent(QTest::KeyAction::Press, editor, Qt::Key_unknown, one, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::KeyAction::Release, editor, Qt::Key_unknown, one, Qt::NoModifier);
        }
    }
    editor->setModified(true);
    QTest::keyClick(editor, Qt::Key_Return);
    qt::driver::settle();
    qt::driver::settle();
    return true;
}

bool QtBackend::editButton(ui::DBGrid& grid) {
    auto* view = qobject_cast<QTableView*>(widgetOf(grid));
    if (view == nullptr) {
        return ui::user::editButton(grid);
    }
    qt::driver::activate(view);
    const QRect cell = view->visualRect(view->currentIndex());
    if (!cell.isValid()) {
        return ui::user::editButton(grid);
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(cell.right() - 6, cell.center().y()));
    qt::driver::settle();
    return true;
}

std::optional<QString> QtBackend::widgetText(const ui::Control& control) const {
    QWidget* widget = widgetOf(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        return memo->toPlainText();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    return std::nullopt;
}

bool QtBackend::widgetEnabled(const ui::Control& control) const {
    QWidget* widget = widgetOf(control);
    return widget != nullptr && widget->isEnabled();
}

bool QtBackend::widgetVisible(const ui::Control& control) const {
    QWidget* widget = widgetOf(control);
    return widget != nullptr && widget->isVisibleTo(widget->window());
}

bool QtBackend::widgetFocused(const ui::Control& control) const {
    QWidget* widget = widgetOf(control);
    return widget != nullptr && (widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()));
}

}  // namespace ctb::uiscript
