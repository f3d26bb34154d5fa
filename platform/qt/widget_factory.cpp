#include "platform/qt/widget_factory.h"

#include "platform/qt/align_layout.h"
#include "platform/qt/edit_keys.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/user_input.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace ctb::qt {

using ui::ControlKind;

QString toolButtonText(const ui::Control& control) {
    if (!control.text().isEmpty()) {
        return control.text();
    }
    return control.kind() == ControlKind::LookupButton ? QStringLiteral("...") : control.hint();
}

bool isLineEditKind(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::MaskEdit || kind == ControlKind::NumberEdit ||
           kind == ControlKind::DateEdit || kind == ControlKind::DBEdit;
}

void WidgetFactory::build(ui::Container& container, QWidget* parentWidget) {
    for (ui::Control* child : container.children()) {
        if (child->kind() == ControlKind::MenuItem) {
            createMenu(static_cast<ui::MenuItem&>(*child), &menuHost_);
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
                context_.registerWidget(*page, pageWidget);
                tabs->addTab(pageWidget, page->caption());
                build(*page, pageWidget);
            }
        } else if (child->isContainer()) {
            build(static_cast<ui::Container&>(*child), widget);
        }
    }
}

QWidget* WidgetFactory::createWidget(ui::Control& control, QWidget* parentWidget) {
    QWidget* widget = nullptr;
    ui::Control* c = &control;
    ViewContext* context = &context_;
    // Connections live as long as the form's view.
    QObject* owner = &menuHost_;
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
            QObject::connect(edit, &QLineEdit::textEdited, owner, [context, c, edit](const QString&) {
                if (!context->applyingModel()) {
                    ui::user::editText(*c, modelTextOf(*edit));
                    context->afterAction(c);
                }
            });
            widget = edit;
            break;
        }
        case ControlKind::Memo: {
            auto* memo = new QPlainTextEdit(parentWidget);
            QObject::connect(memo, &QPlainTextEdit::textChanged, owner, [context, c, memo] {
                if (!context->applyingModel()) {
                    ui::user::editText(*c, memo->toPlainText());
                    context->afterAction(c);
                }
            });
            widget = memo;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(parentWidget);
            QObject::connect(button, &QPushButton::clicked, owner, [context, c] {
                ui::user::click(*c);
                context->afterAction(c);
            });
            widget = button;
            break;
        }
        case ControlKind::SpeedButton:
        case ControlKind::LookupButton: {
            auto* button = new QToolButton(parentWidget);
            // Without glyphs a flat speed button would read as a label.
            button->setAutoRaise(false);
            QObject::connect(button, &QToolButton::clicked, owner, [context, c] {
                ui::user::click(*c);
                context->afterAction(c);
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
            QObject::connect(button, &QAbstractButton::clicked, owner, [context, c] {
                ui::user::click(*c);
                context->afterAction(c);
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
            QObject::connect(tabs, &QTabWidget::currentChanged, owner, [context, c, tabs](int index) {
                if (context->applyingModel() || index < 0) {
                    return;
                }
                ui::Control* page = context->controlOf(tabs->widget(index));
                auto* pages = static_cast<ui::PageControl*>(c);
                if (page != nullptr && page != pages->activePage()) {
                    // Not ui::user::click: it refuses a sheet that is not showing yet, which is
                    // every sheet a person clicks.
                    ui::runUserAction(context->viewedForm()->services(), [pages, page] {
                        pages->userSelect(static_cast<ui::TabSheet&>(*page));
                    });
                }
                context->afterAction(c);
            });
            tabs->tabBar()->installEventFilter(context_.inputFilter());
            widget = tabs;
            break;
        }
        case ControlKind::DBGrid:
            widget = new QTableView(parentWidget);
            break;
        default: {
            // Forms nested in forms and kinds without a look of their own: a plain container.
            widget = new QWidget(parentWidget);
            widget->setLayout(new AlignLayout(widget));
            break;
        }
    }
    widget->setObjectName(control.name());
    if (control.focusable()) {
        widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(context_.inputFilter());
    } else if (control.kind() != ControlKind::PageControl) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    context_.registerWidget(control, widget);
    return widget;
}

void WidgetFactory::createMenu(ui::MenuItem& item, QWidget* menuOwner) {
    QMenuBar* bar = nullptr;
    QMenu* parentMenu = qobject_cast<QMenu*>(menuOwner);
    if (parentMenu == nullptr) {
        auto* outer = static_cast<QVBoxLayout*>(menuHost_.layout());
        bar = qobject_cast<QMenuBar*>(outer->menuBar());
        if (bar == nullptr) {
            bar = new QMenuBar(&menuHost_);
            bar->setObjectName(context_.viewedForm()->name() + QStringLiteral("MenuBar"));
            outer->setMenuBar(bar);
        }
    }
    ui::Control* c = &item;
    if (!item.children().empty()) {
        auto* menu = new QMenu(item.caption(), &menuHost_);
        menu->setObjectName(item.name());
        QAction* action = bar != nullptr ? bar->addMenu(menu) : parentMenu->addMenu(menu);
        action->setObjectName(item.name());
        context_.registerAction(item, action);
        for (ui::Control* sub : item.children()) {
            if (sub->kind() == ControlKind::MenuItem) {
                createMenu(static_cast<ui::MenuItem&>(*sub), menu);
            }
        }
        return;
    }
    auto* action = new QAction(item.caption(), &menuHost_);
    action->setObjectName(item.name());
    // The shortcut is shown, not registered: the model runs it when its key goes down.
    if (!item.shortcutText().isEmpty()) {
        action->setText(item.caption() + QLatin1Char('\t') + item.shortcutText());
    }
    ViewContext* context = &context_;
    QObject::connect(action, &QAction::triggered, &menuHost_, [context, c] {
        ui::user::click(*c);
        context->afterAction(c);
    });
    if (bar != nullptr) {
        bar->addAction(action);
    } else {
        parentMenu->addAction(action);
    }
    context_.registerAction(item, action);
}

}  // namespace ctb::qt
