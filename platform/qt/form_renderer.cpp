#include "platform/qt/form_renderer.h"

#include "platform/dataset/client_dataset.h"
#include "platform/qt/align_layout.h"
#include "platform/qt/dataset_model.h"
#include "platform/qt/formats.h"
#include "platform/qt/grid_delegate.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/user_input.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
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

// Keeps a counter raised for a scope (re-entrant, unlike a bool).
class Raise {
  public:
    explicit Raise(int& counter) : counter_(counter) { ++counter_; }
    ~Raise() { --counter_; }
    Raise(const Raise&) = delete;
    Raise& operator=(const Raise&) = delete;

  private:
    int& counter_;
};

// What a tool button shows: its caption; a lookup button without one the ellipsis; a speed button
// without one (it would carry a glyph) its hint, so that it is not an empty square.
QString toolButtonText(const ui::Control& control) {
    if (!control.text().isEmpty()) {
        return control.text();
    }
    return control.kind() == ControlKind::LookupButton ? QStringLiteral("...") : control.hint();
}

// A column width that shows the field's declared size (long texts capped), its title and its button.
int columnWidthFor(const QTableView& view, const Field* field, const QString& title, bool button) {
    const QFontMetrics metrics = view.fontMetrics();
    int chars = 12;
    if (field != nullptr) {
        switch (field->dataType()) {
            case FieldType::String:
                chars = std::clamp(field->size(), 2, 40);
                break;
            case FieldType::Float:
                chars = 13;
                break;
            case FieldType::Integer:
                chars = 8;
                break;
            case FieldType::DateTime:
                chars = 10;
                break;
        }
    }
    const int content = metrics.horizontalAdvance(QString(chars, QLatin1Char('0')));
    const int header = metrics.horizontalAdvance(title) + 16;
    return std::max(content + 12, header) + (button ? 20 : 0);
}

bool isEditKind(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::MaskEdit || kind == ControlKind::NumberEdit ||
           kind == ControlKind::DateEdit || kind == ControlKind::DBEdit;
}

// A modal dialog around a form's view: closing it asks the form (whose onClose may refuse).
class FormDialog : public QDialog {
  public:
    FormDialog(ui::Form& form, FormView* view, QWidget* parent) : QDialog(parent), form_(&form), view_(view) {
        setObjectName(form.name() + QStringLiteral("Dialog"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view);
        setWindowTitle(form.caption());
        setModal(true);
        connect(view, &FormView::formClosed, this, [this] { done(QDialog::Accepted); });
    }
    void reject() override {
        // Escape or the close box: the form decides.
        if (!closing_ && form_->isShowing()) {
            closing_ = true;
            ui::user::close(*form_);
            closing_ = false;
            if (form_->isShowing()) {
                return;
            }
        }
        QDialog::reject();
    }
    void done(int result) override {
        if (view_ != nullptr) {
            // The view belongs to the renderer, not to this dialog.
            view_->setParent(nullptr);
            view_->hide();
            view_ = nullptr;
        }
        QDialog::done(result);
    }

  private:
    ui::Form* form_;
    FormView* view_;
    bool closing_ = false;
};

// An MDI child whose close box asks the form.
class FormSubWindow : public QMdiSubWindow {
  public:
    explicit FormSubWindow(ui::Form& form) : form_(&form) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (form_ != nullptr && form_->isShowing()) {
            ui::user::close(*form_);
            if (form_->isShowing()) {
                event->ignore();
                return;
            }
        }
        QMdiSubWindow::closeEvent(event);
    }

  private:
    ui::Form* form_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// FormView

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
    build(form, client_);
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
    ++syncing_;
    form_ = nullptr;
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
    return it != actions_.end() ? static_cast<QAction*>(it->second) : nullptr;
}

DataSetTableModel* FormView::gridModel(const ui::DBGrid& grid) const {
    auto it = grids_.find(&grid);
    return it != grids_.end() ? it->second.model : nullptr;
}

void FormView::build(ui::Container& container, QWidget* parentWidget) {
    for (ui::Control* child : container.children()) {
        if (child->kind() == ControlKind::MenuItem) {
            createMenu(static_cast<ui::MenuItem&>(*child), this);
            continue;
        }
        QWidget* widget = createWidget(*child, parentWidget);
        if (auto* layout = dynamic_cast<AlignLayout*>(parentWidget->layout())) {
            layout->addControl(widget, child);
        }
        if (child->kind() == ControlKind::PageControl) {
            auto* tabs = static_cast<QTabWidget*>(widget);
            for (ui::TabSheet* page : static_cast<ui::PageControl*>(child)->pages()) {
                auto* pageWidget = new QWidget;
                pageWidget->setObjectName(page->name());
                pageWidget->setLayout(new AlignLayout(pageWidget));
                widgets_[page] = pageWidget;
                controls_[pageWidget] = page;
                tabs->addTab(pageWidget, page->caption());
                build(*page, pageWidget);
            }
        } else if (child->isContainer()) {
            build(static_cast<ui::Container&>(*child), widget);
        }
    }
}

QWidget* FormView::createWidget(ui::Control& control, QWidget* parentWidget) {
    QWidget* widget = nullptr;
    ui::Control* c = &control;
    switch (control.kind()) {
        case ControlKind::Label:
            widget = new QLabel(parentWidget);
            break;
        case ControlKind::Edit:
        case ControlKind::MaskEdit:
        case ControlKind::NumberEdit:
        case ControlKind::DateEdit:
        case ControlKind::DBEdit: {
            auto* edit = new QLineEdit(parentWidget);
            if (control.kind() == ControlKind::NumberEdit) {
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (static_cast<ui::Edit&>(control).readOnly()) {
                // Display-only fields (names, totals) are often disabled too; their text must stay
                // as readable as any other, only the background tells they cannot be typed in.
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Disabled, QPalette::Text,
                                 palette.color(QPalette::Active, QPalette::Text));
                edit->setPalette(palette);
            }
            connect(edit, &QLineEdit::textEdited, this, [this, c, edit](const QString& text) {
                if (syncing_ == 0) {
                    ui::user::setText(*c, text);
                    afterAction(c);
                }
                (void)edit;
            });
            widget = edit;
            break;
        }
        case ControlKind::Memo: {
            auto* memo = new QPlainTextEdit(parentWidget);
            connect(memo, &QPlainTextEdit::textChanged, this, [this, c, memo] {
                if (syncing_ == 0) {
                    ui::user::setText(*c, memo->toPlainText());
                    afterAction(c);
                }
            });
            widget = memo;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(parentWidget);
            connect(button, &QPushButton::clicked, this, [this, c] {
                ui::user::click(*c);
                afterAction(c);
            });
            widget = button;
            break;
        }
        case ControlKind::SpeedButton:
        case ControlKind::LookupButton: {
            auto* button = new QToolButton(parentWidget);
            // Without glyphs a flat speed button would read as a label.
            button->setAutoRaise(false);
            connect(button, &QToolButton::clicked, this, [this, c] {
                ui::user::click(*c);
                afterAction(c);
            });
            widget = button;
            break;
        }
        case ControlKind::RadioButton:
        case ControlKind::CheckBox: {
            QAbstractButton* button = nullptr;
            if (control.kind() == ControlKind::RadioButton) {
                auto* radio = new QRadioButton(parentWidget);
                // The model unchecks the siblings; Qt must not do it on its own.
                radio->setAutoExclusive(false);
                button = radio;
            } else {
                button = new QCheckBox(parentWidget);
            }
            connect(button, &QAbstractButton::clicked, this, [this, c] {
                ui::user::click(*c);
                afterAction(c);
            });
            widget = button;
            break;
        }
        case ControlKind::Panel: {
            // The classic panel shows its caption centred (title bars); children sit over it.
            auto* frame = new QLabel(parentWidget);
            frame->setAlignment(Qt::AlignCenter);
            frame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
            frame->setLayout(new AlignLayout(frame));
            widget = frame;
            break;
        }
        case ControlKind::GroupBox: {
            auto* box = new QGroupBox(parentWidget);
            box->setLayout(new AlignLayout(box));
            widget = box;
            break;
        }
        case ControlKind::PageControl: {
            auto* tabs = new QTabWidget(parentWidget);
            tabs->setFocusPolicy(Qt::NoFocus);
            connect(tabs, &QTabWidget::currentChanged, this, [this, c, tabs](int index) {
                if (syncing_ > 0 || index < 0) {
                    return;
                }
                ui::Control* page = controlOf(tabs->widget(index));
                auto* pages = static_cast<ui::PageControl*>(c);
                if (page != nullptr && page != pages->activePage()) {
                    // Not ui::user::click: it refuses a sheet that is not showing yet, which is
                    // every sheet a person clicks.
                    ui::runUserAction(form_->services(), [pages, page] {
                        pages->userSelect(static_cast<ui::TabSheet&>(*page));
                    });
                }
                afterAction(c);
            });
            tabs->tabBar()->installEventFilter(this);
            widget = tabs;
            break;
        }
        case ControlKind::DBGrid: {
            auto* view = new QTableView(parentWidget);
            widget = view;
            break;
        }
        default: {
            // Forms nested in forms and kinds without a look of their own: a plain container.
            widget = new QWidget(parentWidget);
            widget->setLayout(new AlignLayout(widget));
            break;
        }
    }
    widget->setObjectName(control.name());
    widgets_[&control] = widget;
    controls_[widget] = &control;
    if (control.focusable()) {
        widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(this);
    } else if (control.kind() != ControlKind::PageControl) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    if (control.kind() == ControlKind::DBGrid) {
        setupGrid(static_cast<ui::DBGrid&>(control), static_cast<QTableView*>(widget));
    }
    return widget;
}

void FormView::createMenu(ui::MenuItem& item, QWidget* menuOwner) {
    QMenuBar* bar = nullptr;
    QMenu* parentMenu = qobject_cast<QMenu*>(menuOwner);
    if (parentMenu == nullptr) {
        auto* outer = static_cast<QVBoxLayout*>(layout());
        bar = qobject_cast<QMenuBar*>(outer->menuBar());
        if (bar == nullptr) {
            bar = new QMenuBar(this);
            bar->setObjectName(form_->name() + QStringLiteral("MenuBar"));
            outer->setMenuBar(bar);
        }
    }
    ui::Control* c = &item;
    if (!item.children().empty()) {
        auto* menu = new QMenu(item.caption(), this);
        menu->setObjectName(item.name());
        QAction* action = bar != nullptr ? bar->addMenu(menu) : parentMenu->addMenu(menu);
        action->setObjectName(item.name());
        actions_[&item] = action;
        for (ui::Control* sub : item.children()) {
            if (sub->kind() == ControlKind::MenuItem) {
                createMenu(static_cast<ui::MenuItem&>(*sub), menu);
            }
        }
        return;
    }
    auto* action = new QAction(item.caption(), this);
    action->setObjectName(item.name());
    // The shortcut is shown, not registered: the model runs it when its key goes down.
    if (!item.shortcutText().isEmpty()) {
        action->setText(item.caption() + QLatin1Char('\t') + item.shortcutText());
    }
    connect(action, &QAction::triggered, this, [this, c] {
        ui::user::click(*c);
        afterAction(c);
    });
    if (bar != nullptr) {
        bar->addAction(action);
    } else {
        parentMenu->addAction(action);
    }
    actions_[&item] = action;
}

// ---- grids ----

void FormView::setupGrid(ui::DBGrid& grid, QTableView* view) {
    GridBinding& binding = grids_[&grid];
    binding.view = view;
    binding.model = new DataSetTableModel(grid.dataSet(), {}, view);
    view->setModel(binding.model);
    auto* delegate = new GridDelegate(view);
    view->setItemDelegate(delegate);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    // Typing goes to the model cell by cell; a double click or F2 opens Qt's editor.
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->verticalHeader()->setFixedWidth(22);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    rebuildGridColumns(grid);

    ui::DBGrid* g = &grid;
    binding.model->setCellEditedHandler([this, g](int /*row*/, int column, const QString& text) {
        const GridBinding& b = grids_.at(g);
        const auto cols = g->effectiveColumns();
        const int gridColumn = b.gridColumnOfView.at(static_cast<std::size_t>(column));
        const bool ok = ui::user::editCell(*g, cols.at(static_cast<std::size_t>(gridColumn)).fieldName, text);
        afterAction(g);
        return ok;
    });
    connect(binding.model, &DataSetTableModel::tableCursorMoved, this,
            [this, g](int) { refreshGridSelection(*g); });
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, g](const QModelIndex& current, const QModelIndex& previous) {
                if (syncing_ > 0 || !current.isValid() || grids_.at(g).model->followingTable()) {
                    return;
                }
                const GridBinding& b = grids_.at(g);
                const auto cols = g->effectiveColumns();
                if (current.column() != previous.column() &&
                    current.column() < static_cast<int>(b.gridColumnOfView.size())) {
                    const int gridColumn = b.gridColumnOfView[static_cast<std::size_t>(current.column())];
                    ui::user::selectColumn(*g, cols.at(static_cast<std::size_t>(gridColumn)).fieldName);
                }
                ClientDataSet* table = g->dataSet();
                if (table != nullptr && current.row() != table->currentViewRow()) {
                    ui::user::selectRow(*g, current.row() + 1);
                }
                afterAction(g);
            });
    connect(delegate, &GridDelegate::editButtonClicked, this, [this, g](const QModelIndex& /*index*/) {
        ui::user::editButton(*g);
        afterAction(g);
    });
}

void FormView::rebuildGridColumns(ui::DBGrid& grid) {
    GridBinding& binding = grids_[&grid];
    std::vector<GridColumnSpec> specs;
    binding.gridColumnOfView.clear();
    const auto cols = grid.effectiveColumns();
    for (std::size_t i = 0; i < cols.size(); ++i) {
        if (!cols[i].visible) {
            continue;
        }
        GridColumnSpec spec;
        spec.fieldName = cols[i].fieldName;
        spec.title = cols[i].title;
        spec.readOnly = cols[i].readOnly || grid.readOnly();
        spec.lookupButton = cols[i].hasButton;
        spec.width = cols[i].width;
        if (spec.width <= 0) {
            const ClientDataSet* table = grid.dataSet();
            const Field* field = table != nullptr ? table->findField(spec.fieldName) : nullptr;
            const QString title = !spec.title.isEmpty()
                                      ? spec.title
                                      : (field != nullptr ? field->displayLabel() : spec.fieldName);
            spec.width = columnWidthFor(*binding.view, field, title, spec.lookupButton);
        }
        specs.push_back(spec);
        binding.gridColumnOfView.push_back(static_cast<int>(i));
    }
    Raise guard(syncing_);
    if (binding.model->dataSet() != grid.dataSet()) {
        binding.model->setDataSet(grid.dataSet());
    }
    binding.model->setColumns(specs);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        if (specs[i].width > 0) {
            binding.view->setColumnWidth(static_cast<int>(i), specs[i].width);
        }
    }
    refreshGridSelection(grid);
}

void FormView::refreshGridSelection(ui::DBGrid& grid) {
    auto it = grids_.find(&grid);
    if (it == grids_.end()) {
        return;
    }
    const GridBinding& b = it->second;
    ClientDataSet* table = grid.dataSet();
    const int row = table != nullptr && table->active() ? table->currentViewRow() : -1;
    int viewColumn = 0;
    for (std::size_t i = 0; i < b.gridColumnOfView.size(); ++i) {
        if (b.gridColumnOfView[i] == grid.selectedIndex()) {
            viewColumn = static_cast<int>(i);
        }
    }
    Raise guard(syncing_);
    const auto behaviour = grid.rowSelect() ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems;
    if (b.view->selectionBehavior() != behaviour) {
        b.view->setSelectionBehavior(behaviour);
    }
    const QModelIndex target = b.model->index(row, viewColumn);
    if (target.isValid() && b.view->currentIndex() != target) {
        b.view->setCurrentIndex(target);
    }
    if (target.isValid() && grid.rowSelect()) {
        b.view->selectRow(row);
    }
    b.view->viewport()->update();
}

// ---- model -> widgets ----

void FormView::refreshText(ui::Control& control) {
    QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return;
    }
    Raise guard(syncing_);
    const QString text = control.text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (control.kind() == ControlKind::MaskEdit || control.kind() == ControlKind::DateEdit) {
            // Qt lays the text out by its mask; compare what it would show.
            const QString before = edit->text();
            edit->setText(text);
            edit->setCursorPosition(static_cast<int>(text.size()));
            (void)before;
        } else if (edit->text() != text) {
            edit->setText(text);
            edit->setCursorPosition(static_cast<int>(text.size()));
        }
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        if (memo->toPlainText() != text) {
            memo->setPlainText(text);
            memo->moveCursor(QTextCursor::End);
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
        auto* action = static_cast<QAction*>(it->second);
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
    Raise guard(syncing_);
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
                rebuildGridColumns(static_cast<ui::DBGrid&>(control));
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
                rebuildGridColumns(static_cast<ui::DBGrid&>(control));
            } else {
                refreshText(control);
            }
            break;
        case Change::SelectedColumn:
            if (control.kind() == ControlKind::DBGrid) {
                refreshGridSelection(static_cast<ui::DBGrid&>(control));
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
        if (what == Change::ReadOnly && !isEditKind(control.kind()) && control.kind() != ControlKind::Memo) {
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
    grids_.clear();
}

void FormView::syncFocusFromModel() {
    if (form_ == nullptr) {
        return;
    }
    ui::Control* active = form_->activeControl();
    QWidget* widget = active != nullptr ? widgetOf(*active) : nullptr;
    // An in-place editor inside the grid holds the focus on the grid's behalf.
    if (widget == nullptr || widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget())) {
        return;
    }
    Raise guard(syncing_);
    widget->setFocus(Qt::OtherFocusReason);
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
        } else if (isEditKind(c->kind())) {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            if (edit != nullptr && edit->text() != c->text()) {
                refreshText(*c);
            }
        }
    }
    syncFocusFromModel();
}

void FormView::onQtFocusChanged(QWidget* /*old*/, QWidget* now) {
    if (syncing_ > 0 || form_ == nullptr || now == nullptr || !isAncestorOf(now)) {
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
        } else if (isEditKind(control.kind()) || control.kind() == ControlKind::Memo) {
            static_cast<ui::Edit&>(control).typeChar(c);
        }
    });
}

bool FormView::handleKey(ui::Control& control, QKeyEvent* event) {
    const int qtKey = event->key();
    if (qtKey == Qt::Key_Shift || qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt || qtKey == Qt::Key_Meta) {
        return false;
    }
    const VirtualKeyPress press = virtualKeyFromQt(qtKey, event->modifiers());
    const bool lineEdit = isEditKind(control.kind()) || control.kind() == ControlKind::Memo;
    // Moving the caret inside an edit is the edit's own business.
    if (lineEdit && !press.ctrl &&
        (qtKey == Qt::Key_Left || qtKey == Qt::Key_Right || qtKey == Qt::Key_Home || qtKey == Qt::Key_End)) {
        return false;
    }
    // Typing over a selection replaces it, as in any edit: the model hears the shortened text first.
    if (auto* edit = qobject_cast<QLineEdit*>(widgetOf(control));
        edit != nullptr && edit->hasSelectedText() && !edit->isReadOnly() && !press.ctrl) {
        const bool erase = qtKey == Qt::Key_Backspace || qtKey == Qt::Key_Delete;
        const bool typing = !event->text().isEmpty() && event->text()[0].isPrint();
        if (erase || typing) {
            QString rest;
            if (edit->selectedText().size() < control.text().size()) {
                rest = control.text();
                rest.remove(edit->selectionStart(), static_cast<int>(edit->selectedText().size()));
            }
            ui::user::setText(control, rest);
            if (erase) {
                afterAction(&control);
                return true;
            }
        }
    }
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
                    Raise guard(syncing_);
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
        // Keep Qt's own shortcuts (undo, select all...) from taking keys the model should see.
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// FormRenderer

FormRenderer::~FormRenderer() {
    for (auto& [form, view] : views_) {
        if (view && view->parentWidget() == nullptr) {
            delete view.data();
        }
    }
}

FormView* FormRenderer::viewOf(const ui::Form& form) const {
    auto it = views_.find(&form);
    return it != views_.end() ? it->second.data() : nullptr;
}

static FormView* viewFor(std::map<const ui::Form*, QPointer<FormView>>& views, ui::Form& form) {
    QPointer<FormView>& view = views[&form];
    if (!view) {
        view = new FormView(form);
    }
    return view.data();
}

QMdiSubWindow* FormRenderer::openInMdiArea(ui::Form& form, QMdiArea& area) {
    FormView* view = viewFor(views_, form);
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    if (sub == nullptr) {
        sub = new FormSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setWidget(view);
        sub->setObjectName(form.name() + QStringLiteral("Window"));
        area.addSubWindow(sub);
        QObject::connect(view, &FormView::formClosed, sub, [sub] { sub->hide(); });
    }
    sub->setWindowTitle(form.caption());
    sub->resize(view->size() + QSize(8, 30));
    if (!form.isShowing()) {
        form.markShown(false);
    }
    sub->show();
    view->show();
    area.setActiveSubWindow(sub);
    view->syncFocusFromModel();
    return sub;
}

FormView* FormRenderer::openWindow(ui::Form& form) {
    FormView* view = viewFor(views_, form);
    if (!form.isShowing()) {
        form.markShown(false);
    }
    view->show();
    view->raise();
    view->activateWindow();
    view->syncFocusFromModel();
    return view;
}

std::unique_ptr<QDialog> FormRenderer::createDialog(ui::Form& form, QWidget* parent) {
    FormView* view = viewFor(views_, form);
    const QSize size = view->size();
    auto dialog = std::make_unique<FormDialog>(form, view, parent);
    dialog->resize(size);
    view->show();
    if (!form.isShowing()) {
        form.markShown(true);
    }
    view->syncFocusFromModel();
    return dialog;
}

ui::ModalResult FormRenderer::modalResultOf(ui::Form& form, QDialog& /*dialog*/) const {
    if (form.isShowing()) {
        if (form.modalResult() == ui::ModalResult::None) {
            form.setModalResult(ui::ModalResult::Cancel);
        }
        form.markClosed();
    }
    return form.modalResult();
}

}  // namespace ctb::qt
