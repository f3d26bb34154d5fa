#include "platform/qt/widget_driver.h"

#include "platform/qt/key_codes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWidget>

namespace ctb::qt::driver {

namespace {

QWidget* findIn(QWidget* root, const QString& name) {
    if (root == nullptr) {
        return nullptr;
    }
    if (root->objectName() == name) {
        return root;
    }
    return root->findChild<QWidget*>(name);
}

void sendChar(QWidget* target, QChar c) {
    if (c.unicode() < 0x80 && c.isPrint()) {
        QTest::keyClick(target, c.toLatin1());
    } else {
        const QString text(c);
        QTest::sendKeyEvent(QTest::KeyAction::Press, target, Qt::Key_unknown, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::KeyAction::Release, target, Qt::Key_unknown, text, Qt::NoModifier);
    }
}

}  // namespace

QWidget* findControl(const QString& name) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (QWidget* found = findIn(modal, name)) {
            return found;
        }
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    // Later windows first: dialogs opened over a screen come after it.
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (!(*it)->isVisible()) {
            continue;
        }
        if (QWidget* found = findIn(*it, name)) {
            return found;
        }
    }
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (QWidget* found = findIn(*it, name)) {
            return found;
        }
    }
    return nullptr;
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void activate(QWidget* widget) {
    QWidget* window = widget->window();
    if (!window->isVisible()) {
        window->show();
        (void)QTest::qWaitForWindowExposed(window);
    }
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window, 1000);
    }
}

void focus(QWidget* widget) {
    activate(widget);
    widget->setFocus(Qt::TabFocusReason);
    settle();
}

void typeText(QWidget* widget, const QString& text) {
    focus(widget);
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : widget;
    if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        // Select everything and erase it, as a person replacing the text would.
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        edit->setCursorPosition(0);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        plain->selectAll();
        QTest::keyClick(plain, Qt::Key_Backspace);
    } else if (auto* rich = qobject_cast<QTextEdit*>(target)) {
        rich->selectAll();
        QTest::keyClick(rich, Qt::Key_Backspace);
    }
    for (QChar c : text) {
        sendChar(target, c);
    }
    settle();
}

void pressKey(QWidget* widget, int virtualCode, bool ctrl, bool shift) {
    activate(widget);
    const QtKeyPress press = qtKeyFromVirtual(virtualCode, ctrl, shift);
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : widget;
    QTest::keyClick(target, press.key, press.modifiers);
    settle();
}

namespace {
// The tab widget whose page `widget` is (pages sit in the tab widget's inner stack), or null.
QTabWidget* tabsOfPage(QWidget* widget) {
    QWidget* stack = widget->parentWidget();
    auto* tabs = qobject_cast<QTabWidget*>(stack != nullptr ? stack->parentWidget() : nullptr);
    return tabs != nullptr && tabs->indexOf(widget) >= 0 ? tabs : nullptr;
}
}  // namespace

void click(QWidget* widget) {
    activate(widget);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (QTabWidget* tabs = tabsOfPage(widget)) {
        const int index = tabs->indexOf(widget);
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    } else {
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    settle();
}

bool clickable(QWidget* widget) {
    if (widget == nullptr) {
        return false;
    }
    if (QTabWidget* tabs = tabsOfPage(widget)) {
        // A page that is not showing is hidden; its tab is what gets clicked.
        const int index = tabs->indexOf(widget);
        return tabs->isEnabled() && tabs->isVisibleTo(tabs->window()) && tabs->isTabVisible(index) &&
               tabs->isTabEnabled(index);
    }
    return widget->isEnabled() && widget->isVisibleTo(widget->window());
}

}  // namespace ctb::qt::driver
