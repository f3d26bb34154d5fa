#include "platform/qt/form_view.h"

#include "platform/dataset/client_dataset.h"
#include "platform/qt/align_layout.h"
#include "platform/qt/dataset_model.h"
#include "platform/qt/edit_keys.h"
#include "platform/qt/formats.h"
#include "platform/qt/grid_binding.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/widget_factory.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/user_input.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace ctb::qt {

namespace {

using ui::Change;
using ui::ControlKind;

constexpr int kDefaultFormWidth = 640;
constexpr int kDefaultFormHeight = 480;

}  // namespace

FormView::FormView(ui::Form& form, QWidget* parent) : QWidget(parent), form_(&form) {
    setObjectName(form.name());
    setWindowTitle(form.caption());
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    client_ = new QWidget(this);
    client_->setLayout(new AlignLayout(client_));
    outer->addWidget(client_);
    widgets_[form_] = this;
    controls_[this] = form_;
    controls_[client_] = form_;
    WidgetFactory(*this, *this).build(form, client_);
    const ui::Rect& g = form.geometry();
    resize(g.width > 0 ? g.width : kDefaultFormWidth, g.height > 0 ? g.height : kDefaultFormHeight);
    form_->addObserver(this);
    connect(qApp, &QApplication::focusChanged, this, &FormView::onQtFocusChanged);
    for (auto& [control, widget] : widgets_) {
        refreshAll(*const_cast<ui::Control*>(control));
    }
}

FormView::~FormView() {
    if (form_ != nullptr) {
        form_->removeObserver(this);
    }
    // The child widgets would die after this body, in ~QWidget, moving the focus and emitting
    // signals as they go: delete them now, while the view is whole, with its handlers silenced.
    disconnect(qApp, nullptr, this, nullptr);
    Applying silenced(*this);
    form_ = nullptr;
    grids_.clear();
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

QWidget* FormView::widgetOf(const ui::Control& control) const {
    auto it = widgets_.find(&control);
    return it != widgets_.end() ? it->second : nullptr;
}

ui::Control* FormView::controlOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        auto it = controls_.find(w);
        if (it != controls_.end()) {
            return it->second;
        }
        if (w == this) {
            break;
        }
    }
    return nullptr;
}

QAction* FormView::actionOf(const ui::Control& control) const {
    auto it = actions_.find(&control);
    return it != actions_.end() ? it->second : nullptr;
}

DataSetTableModel* FormView::gridModel(const ui::DBGrid& grid) const {
    auto it = grids_.find(&grid);
    return it != grids_.end() ? it->second->model() : nullptr;
}

GridBinding* FormView::bindingOf(const ui::Control& control) const {
    auto it = grids_.find(static_cast<const ui::DBGrid*>(&control));
    return control.kind() == ControlKind::DBGrid && it != grids_.end() ? it->second : nullptr;
}

void FormView::registerWidget(ui::Control& control, QWidget* widget) {
    widgets_[&control] = widget;
    controls_[widget] = &control;
    if (control.kind() == ControlKind::DBGrid) {
        auto& grid = static_cast<ui::DBGrid&>(control);
        grids_[&grid] = new GridBinding(grid, *static_cast<QTableView*>(widget), *this);
    }
}

void FormView::registerAction(ui::Control& item, QAction* action) {
    actions_[&item] = action;
}

// ---- model -> widgets ----

void FormView::refreshText(ui::Control& control) {
    QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return;
    }
    Applying guard(*this);
    const QString text = control.text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (!showsModelText(*edit, text)) {
            // The echo of what the user is typing must leave the cursor and the selection where
            // the user has them (a mask may lay the model's text out again).
            const bool typing = edit->hasFocus();
            const int cursor = edit->cursorPosition();
            const int selectionStart = edit->selectionStart();
            const int selectionLength = static_cast<int>(edit->selectedText().size());
            edit->setText(text);
            if (typing && selectionStart >= 0) {
                edit->setSelection(selectionStart, selectionLength);
            } else if (typing) {
                edit->setCursorPosition(cursor);
            }
        }
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        if (memo->toPlainText() != text) {
            const bool typing = memo->hasFocus();
            const int cursor = memo->textCursor().position();
            memo->setPlainText(text);
            QTextCursor at = memo->textCursor();
            at.setPosition(typing ? std::min(cursor, static_cast<int>(text.size()))
                                  : static_cast<int>(text.size()));
            memo->setTextCursor(at);
        }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(text);
    } else if (auto* tool = qobject_cast<QToolButton*>(widget)) {
        tool->setText(toolButtonText(control));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (&control == form_) {
        setWindowTitle(text);
        if (QWidget* w = window(); w != this) {
            w->setWindowTitle(text);
        }
    } else if (control.kind() == ControlKind::TabSheet) {
        if (auto* tabs = qobject_cast<QTabWidget*>(widgetOf(*control.parent()))) {
            tabs->setTabText(tabs->indexOf(widget), text);
        }
    }
}

void FormView::refresh(ui::Control& control, ui::Change what) {
    if (control.kind() == ControlKind::MenuItem) {
        auto it = actions_.find(&control);
        if (it == actions_.end()) {
            return;
        }
        auto* action = it->second;
        const auto& item = static_cast<ui::MenuItem&>(control);
        action->setEnabled(control.enabled());
        action->setVisible(control.visible());
        action->setText(item.shortcutText().isEmpty()
                            ? control.caption()
                            : control.caption() + QLatin1Char('\t') + item.shortcutText());
        return;
    }
    QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return;
    }
    Applying guard(*this);
    switch (what) {
        case Change::Text:
            refreshText(control);
            break;
        case Change::Enabled:
            widget->setEnabled(control.enabled());
            break;
        case Change::Visible:
            if (control.kind() == ControlKind::TabSheet) {
                if (auto* tabs = qobject_cast<QTabWidget*>(widgetOf(*control.parent()))) {
                    tabs->setTabVisible(tabs->indexOf(widget), control.visible());
                }
            } else if (&control != form_) {
                widget->setVisible(control.visible());
            }
            break;
        case Change::Hint:
            widget->setToolTip(control.hint());
            if (auto* tool = qobject_cast<QToolButton*>(widget)) {
                tool->setText(toolButtonText(control));
            }
            break;
        case Change::Geometry:
            if (QWidget* parent = widget->parentWidget(); parent != nullptr && parent->layout() != nullptr) {
                parent->layout()->invalidate();
                parent->layout()->activate();
            }
            break;
        case Change::ReadOnly:
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                edit->setReadOnly(static_cast<ui::Edit&>(control).readOnly());
            } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
                memo->setReadOnly(static_cast<ui::Edit&>(control).readOnly());
            } else if (control.kind() == ControlKind::DBGrid) {
                if (GridBinding* grid = bindingOf(control)) {
                    grid->rebuildColumns();
                }
            }
            break;
        case Change::Checked:
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                button->setCheckable(true);
                button->setChecked(static_cast<ui::CheckBox&>(control).checked());
            }
            break;
        case Change::ActivePage:
            if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
                ui::TabSheet* page = static_cast<ui::PageControl&>(control).activePage();
                if (QWidget* pageWidget = page != nullptr ? widgetOf(*page) : nullptr) {
                    tabs->setCurrentWidget(pageWidget);
                }
            }
            break;
        case Change::Mask:
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                edit->setInputMask(qtInputMask(static_cast<ui::MaskEdit&>(control).editMask()));
                refreshText(control);
            }
            break;
        case Change::Binding:
        case Change::Columns:
            if (control.kind() == ControlKind::DBGrid) {
                if (GridBinding* grid = bindingOf(control)) {
                    grid->rebuildColumns();
                }
            } else {
                refreshText(control);
            }
            break;
        case Change::SelectedColumn:
            if (control.kind() == ControlKind::DBGrid) {
                if (GridBinding* grid = bindingOf(control)) {
                    grid->refreshSelection();
                }
            }
            break;
        case Change::Color: {
            // Text in the colour of what is behind it does not show (the balanced difference): whatever
            // paints behind it, a transparent text is the one that never shows.
            QString text = control.fontColor();
            if (text == QLatin1String(ui::kColorButtonFace)) {
                text = QStringLiteral("transparent");
            }
            QString style;
            if (!control.color().isEmpty()) {
                style += QStringLiteral("background-color: %1;").arg(control.color());
            }
            if (!text.isEmpty()) {
                style += QStringLiteral("color: %1;").arg(text);
            }
            // Only this widget: a panel's colour must not run into the grids inside it.
            widget->setStyleSheet(style.isEmpty() ? QString()
                                                  : QStringLiteral("#%1 { %2 }").arg(control.name(), style));
            break;
        }
        case Change::Shortcut:
            break;
        case Change::Closed:
            emit formClosed();
            break;
    }
}

void FormView::refreshAll(ui::Control& control) {
    for (Change what : {Change::Mask, Change::Text, Change::Enabled, Change::Visible, Change::Hint,
                        Change::ReadOnly, Change::ActivePage, Change::Color}) {
        if (what == Change::Mask && control.kind() != ControlKind::MaskEdit &&
            control.kind() != ControlKind::DateEdit) {
            continue;
        }
        if (what == Change::ReadOnly && !isLineEditKind(control.kind()) &&
            control.kind() != ControlKind::Memo) {
            continue;
        }
        if (what == Change::Text && control.kind() == ControlKind::DBGrid) {
            continue;
        }
        refresh(control, what);
    }
    if (control.kind() == ControlKind::RadioButton || control.kind() == ControlKind::CheckBox) {
        refresh(control, Change::Checked);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widgetOf(control))) {
        const int max = static_cast<ui::Edit&>(control).maxLength();
        if (max > 0 && edit->inputMask().isEmpty()) {
            edit->setMaxLength(max);
        }
    }
}

void FormView::controlChanged(ui::Control& control, ui::Change what) {
    refresh(control, what);
}

void FormView::focusChanged(ui::Control* /*previous*/, ui::Control* /*current*/) {
    syncFocusFromModel();
}

void FormView::formDestroyed(ui::Form& /*form*/) {
    form_ = nullptr;
    widgets_.clear();
    controls_.clear();
    actions_.clear();
    for (auto& [grid, binding] : grids_) {
        delete binding;
    }
    grids_.clear();
}

void FormView::syncFocusFromModel() {
    if (form_ == nullptr) {
        return;
    }
    ui::Control* active = form_->activeControl();
    QWidget* widget = active != nullptr ? widgetOf(*active) : nullptr;
    // An in-place editor inside the grid holds the focus on the grid's behalf. A widget that is its
    // window's focus widget keeps it even while the window is not the active one (hasFocus() is then
    // false): selecting its text again would make every keystroke replace the one before.
    if (widget == nullptr || widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()) ||
        widget->window()->focusWidget() == widget) {
        return;
    }
    Applying guard(*this);
    widget->setFocus(Qt::OtherFocusReason);
    // Entered by the keyboard or by a handler, not by a click: typing replaces the whole text.
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->selectAll();
    }
}

// ---- widgets -> model ----

void FormView::afterAction(ui::Control* /*control*/) {
    if (form_ == nullptr) {
        return;
    }
    // Handlers may have refused what Qt already shows (a radio click, a tab, a focus move).
    for (auto& [control, widget] : widgets_) {
        auto* c = const_cast<ui::Control*>(control);
        if (c->kind() == ControlKind::RadioButton || c->kind() == ControlKind::CheckBox) {
            refresh(*c, Change::Checked);
        } else if (c->kind() == ControlKind::PageControl) {
            refresh(*c, Change::ActivePage);
        } else if (isLineEditKind(c->kind())) {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            if (edit != nullptr && !showsModelText(*edit, c->text())) {
                refreshText(*c);
            }
        }
    }
    syncFocusFromModel();
}

void FormView::onQtFocusChanged(QWidget* /*old*/, QWidget* now) {
    if (applyingModel() || form_ == nullptr || now == nullptr || !isAncestorOf(now)) {
        return;
    }
    const Qt::FocusReason reason = std::exchange(lastFocusInReason_, Qt::OtherFocusReason);
    if (reason == Qt::ActiveWindowFocusReason && !form_->isModal()) {
        // Qt handing the focus back as the main window becomes active again (a dialog closed
        // inside a handler): not a user's move. The model's focus stands; the window follows it.
        syncFocusFromModel();
        return;
    }
    ui::Control* control = controlOf(now);
    if (control == nullptr || control == form_ || !control->focusable()) {
        return;
    }
    if (control != form_->activeControl()) {
        ui::user::focus(*control);
    }
    afterAction(control);
}

// A character no key code stands for (accented letters): only the key-press events and the typing
// run; there is no key to tell the key-down handlers about.
void FormView::typeWithoutKey(ui::Control& control, QChar ch) {
    ui::runUserAction(form_->services(), [this, &control, ch] {
        QChar c = ch;
        if (form_->keyPreview && form_->onKeyPress) {
            form_->onKeyPress(*form_, c);
        }
        if (!c.isNull() && control.onKeyPress) {
            control.onKeyPress(control, c);
        }
        if (c.isNull()) {
            return;
        }
        if (control.kind() == ControlKind::DBGrid) {
            static_cast<ui::DBGrid&>(control).typeChar(c);
        }
    });
}

// Alt (without Ctrl, which with Alt is AltGr on some systems) and a key: a menu's letter, never text.
static bool isMenuMnemonic(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    return mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier);
}

// The virtual key the control model hears for a typed character: the key's own when it types that
// character, else the key that would ('/' on the main keyboard), else none (accented letters).
static int virtualKeyOfTyped(const VirtualKeyPress& press, QChar typed, ui::ShiftState shift) {
    if (typed.isNull() || (press.code != 0 && ui::charForKey(press.code, shift) == typed)) {
        return press.code;
    }
    return ui::keyForChar(typed);
}

bool FormView::handleEditKey(ui::Control& control, QWidget& widget, QKeyEvent* event) {
    auto& edit = static_cast<ui::Edit&>(control);
    const VirtualKeyPress press = virtualKeyFromQt(event->key(), event->modifiers());
    const ui::ShiftState shift{press.ctrl, press.shift};
    const QChar original = typedCharOf(*event, edit);
    QChar ch = original;
    const int code = original == QChar(8) || original == QChar(13) || original.isNull()
                         ? press.code
                         : virtualKeyOfTyped(press, original, shift);
    const bool left = ui::user::keyForWidget(control, code, shift, ch);
    if (!left || form_ == nullptr || form_->activeControl() != &control) {
        afterAction(&control);
        return true;
    }
    auto* line = qobject_cast<QLineEdit*>(&widget);
    if (line != nullptr && control.kind() == ControlKind::NumberEdit && !ch.isNull() && ch.isPrint() &&
        !isPartialNumber(textAfterTyping(*line, ch), static_cast<ui::NumberEdit&>(control).locale())) {
        return true;
    }
    if (ch == original && (original.isNull() || event->text() == QString(original))) {
        return false;  // the widget applies the key as it came
    }
    // A handler (or the edit's rules) changed the character: the widget types that one instead.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, event->modifiers() & ~Qt::KeypadModifier, QString(ch));
    ++forwarding_;
    QCoreApplication::sendEvent(&widget, &typed);
    --forwarding_;
    return true;
}

bool FormView::handleGridKey(ui::DBGrid& grid, QTableView& view, QKeyEvent* event) {
    const VirtualKeyPress press = virtualKeyFromQt(event->key(), event->modifiers());
    if (event->matches(QKeySequence::Copy)) {
        copySelectedCells(view);
        return true;
    }
    const QString text = event->text();
    const QChar typed = text.size() == 1 && text[0].isPrint() && !press.ctrl ? text[0] : QChar();
    const QModelIndex current = view.currentIndex();
    if (!current.isValid() || !(current.flags() & Qt::ItemIsEditable)) {
        return false;
    }
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        // F2 opens the cell's editor with its text, once the key handlers have seen the key.
        QChar none;
        if (ui::user::keyForWidget(grid, press.code, ui::ShiftState{}, none) && form_ != nullptr &&
            form_->activeControl() == &grid) {
            view.edit(current);
        }
        afterAction(&grid);
        return true;
    }
    if (typed.isNull()) {
        return false;
    }
    // A character typed on a cell opens its editor with that character, as a person expects to see
    // it; the editor's text reaches the model keystroke by keystroke when the cell is left.
    const ui::ShiftState shift{press.ctrl, press.shift};
    QChar ch = typed;
    if (!ui::user::keyForWidget(grid, virtualKeyOfTyped(press, typed, shift), shift, ch) ||
        form_ == nullptr || form_->activeControl() != &grid) {
        afterAction(&grid);
        return true;
    }
    view.edit(current);
    if (QWidget* editor = view.indexWidget(current)) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(editor, &key);
    }
    return true;
}

bool FormView::handleKey(ui::Control& control, QKeyEvent* event) {
    const int qtKey = event->key();
    if (qtKey == Qt::Key_Shift || qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt || qtKey == Qt::Key_Meta) {
        return false;
    }
    if (isMenuMnemonic(*event)) {
        return false;  // not typing: a menu's letter no menu took
    }
    QWidget* widget = widgetOf(control);
    const bool textEditor = widget != nullptr && (qobject_cast<QLineEdit*>(widget) != nullptr ||
                                                  qobject_cast<QPlainTextEdit*>(widget) != nullptr);
    if (textEditor && (isLineEditKind(control.kind()) || control.kind() == ControlKind::Memo)) {
        switch (editKeyRoute(*event, static_cast<ui::Edit&>(control))) {
            case EditKeyRoute::Navigation:
                return false;
            case EditKeyRoute::Widget:
                return handleEditKey(control, *widget, event);
            case EditKeyRoute::Model:
                break;
        }
    }
    if (auto* view = qobject_cast<QTableView*>(widget);
        view != nullptr && control.kind() == ControlKind::DBGrid) {
        // A key sent to the grid while its cell editor is open belongs to the editor.
        if (QWidget* editor = view->indexWidget(view->currentIndex());
            editor != nullptr && editor->isVisible()) {
            if (toCellEditor_) {
                // The editor let it go (a function key, Ctrl with a letter): it came back up here.
                cellEditorIgnored_ = true;
                return true;
            }
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
            toCellEditor_ = true;
            cellEditorIgnored_ = false;
            QCoreApplication::sendEvent(editor, &copy);
            toCellEditor_ = false;
            if (!cellEditorIgnored_) {
                return true;
            }
            // A key the editor does not take is the grid's: the cell is left with its text, as by
            // Tab, and the grid's key handling runs on it.
            if (QAbstractItemDelegate* delegate = view->itemDelegateForIndex(view->currentIndex())) {
                emit delegate->commitData(editor);
                emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
            }
            const VirtualKeyPress press = virtualKeyFromQt(qtKey, event->modifiers());
            if (press.code != 0 && form_ != nullptr && form_->activeControl() == &control) {
                ui::user::key(control, press.code, ui::ShiftState{press.ctrl, press.shift});
            }
            afterAction(&control);
            return true;
        }
        if (handleGridKey(static_cast<ui::DBGrid&>(control), *view, event)) {
            return true;
        }
    }
    const VirtualKeyPress press = virtualKeyFromQt(qtKey, event->modifiers());
    const QString text = event->text();
    const QChar typed = text.size() == 1 && text[0].isPrint() ? text[0] : QChar();
    const ui::ShiftState shift{press.ctrl, press.shift};
    if (press.code != 0 && (typed.isNull() || press.ctrl || ui::charForKey(press.code, shift) == typed)) {
        ui::user::key(control, press.code, shift);
    } else if (!typed.isNull() && ui::keyForChar(typed) == 0) {
        typeWithoutKey(control, typed);
    } else if (!typed.isNull()) {
        // The layout typed a character the key code does not tell ('/' on the main keyboard).
        ui::user::typeChar(control, typed);
    } else if (press.code != 0) {
        ui::user::key(control, press.code, shift);
    } else {
        return false;
    }
    afterAction(&control);
    return true;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Read by onQtFocusChanged, which Qt signals right after this event.
        lastFocusInReason_ = static_cast<QFocusEvent*>(event)->reason();
    }
    if (event->type() == QEvent::MouseButtonPress && form_ != nullptr) {
        auto* bar = qobject_cast<QTabBar*>(watched);
        auto* tabs = bar != nullptr ? qobject_cast<QTabWidget*>(bar->parentWidget()) : nullptr;
        auto* mouse = static_cast<QMouseEvent*>(event);
        ui::Control* pages = tabs != nullptr ? controlOf(tabs) : nullptr;
        if (pages != nullptr && pages->kind() == ControlKind::PageControl &&
            mouse->button() == Qt::LeftButton) {
            // The model decides the switch: Qt switching first would hide the focused page and hand
            // the focus to some other control, whose enter events would then run in the model.
            const int index = bar->tabAt(mouse->position().toPoint());
            ui::Control* page = index >= 0 ? controlOf(tabs->widget(index)) : nullptr;
            if (page != nullptr && page->kind() == ControlKind::TabSheet) {
                {
                    Applying guard(*this);
                    ui::runUserAction(form_->services(), [pages, page] {
                        static_cast<ui::PageControl*>(pages)->userSelect(static_cast<ui::TabSheet&>(*page));
                    });
                }
                syncFocusFromModel();
                afterAction(pages);
            }
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && forwarding_ > 0) {
        return false;
    }
    if (event->type() == QEvent::KeyPress && form_ != nullptr) {
        auto* widget = qobject_cast<QWidget*>(watched);
        ui::Control* control = widget != nullptr ? controlOf(widget) : nullptr;

        if (control != nullptr && control != form_) {
            // A key must reach the control that has the focus in the model.
            if (control != form_->activeControl() && control->canFocus()) {
                ui::user::focus(*control);
                if (control != form_->activeControl()) {
                    afterAction(control);
                    return true;
                }
            }
            return handleKey(*control, static_cast<QKeyEvent*>(event));
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Alt with a letter opens the menu of that letter, as in any window.
        if (isMenuMnemonic(*static_cast<QKeyEvent*>(event))) {
            return false;
        }
        // Keep Qt's own shortcuts (undo, select all...) from taking keys the model should see.
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ctb::qt
