#include "platform/qt/widget_driver.h"
#include "tests/qt/qt_app.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace ctb::qt {
namespace {

class Driver : public test::WithApp, public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        first = new QLineEdit(window.get());
        first->setObjectName(QStringLiteral("edtPrimeiro"));
        second = new QLineEdit(window.get());
        second->setObjectName(QStringLiteral("edtSegundo"));
        button = new QPushButton(QStringLiteral("OK"), window.get());
        button->setObjectName(QStringLiteral("sbtConfirma"));
        tabs = new QTabWidget(window.get());
        pageA = new QWidget;
        pageA->setObjectName(QStringLiteral("tshA"));
        pageB = new QWidget;
        pageB->setObjectName(QStringLiteral("tshB"));
        tabs->addTab(pageA, QStringLiteral("A"));
        tabs->addTab(pageB, QStringLiteral("B"));
        for (QWidget* w : {static_cast<QWidget*>(first), static_cast<QWidget*>(second),
                           static_cast<QWidget*>(button), static_cast<QWidget*>(tabs)}) {
            layout->addWidget(w);
        }
        window->show();
    }
    std::unique_ptr<QWidget> window;
    QLineEdit* first = nullptr;
    QLineEdit* second = nullptr;
    QPushButton* button = nullptr;
    QTabWidget* tabs = nullptr;
    QWidget* pageA = nullptr;
    QWidget* pageB = nullptr;
};

TEST_F(Driver, FindsByObjectName) {
    EXPECT_EQ(driver::findControl(QStringLiteral("edtSegundo")), second);
    EXPECT_EQ(driver::findControl(QStringLiteral("nada")), nullptr);
}

TEST_F(Driver, ModalDialogIsSearchedFirst) {
    QDialog dialog(window.get());
    auto* inner = new QLineEdit(&dialog);
    inner->setObjectName(QStringLiteral("edtPrimeiro"));
    QWidget* found = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        found = driver::findControl(QStringLiteral("edtPrimeiro"));
        dialog.reject();
    });
    dialog.exec();
    EXPECT_EQ(found, inner);
}

TEST_F(Driver, FocusMovesTheKeyboardFocus) {
    driver::focus(second);
    EXPECT_EQ(QApplication::focusWidget(), second);
    driver::focus(first);
    EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(Driver, TypeReplacesTextIncludingAccents) {
    first->setText(QStringLiteral("antigo"));
    driver::typeText(first, QStringLiteral("Lançamento às 10,50"));
    EXPECT_EQ(first->text(), QStringLiteral("Lançamento às 10,50"));
    driver::typeText(first, QString());
    EXPECT_EQ(first->text(), QString());
}

TEST_F(Driver, TypeFollowsTheMask) {
    second->setInputMask(QStringLiteral("00/00/9999; "));
    driver::typeText(second, QStringLiteral("15/03/2026"));
    EXPECT_EQ(second->text(), QStringLiteral("15/03/2026"));
}

TEST_F(Driver, KeyReachesTheFocusedWidgetWithVirtualCodeMapping) {
    struct KeySpy : QObject {
        int key = 0;
        Qt::KeyboardModifiers mods;
        bool eventFilter(QObject* /*o*/, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) {
                key = static_cast<QKeyEvent*>(e)->key();
                mods = static_cast<QKeyEvent*>(e)->modifiers();
            }
            return false;
        }
    } spy;
    driver::focus(second);
    second->installEventFilter(&spy);
    driver::pressKey(second, 107, false, false);
    EXPECT_EQ(spy.key, Qt::Key_Plus);
    EXPECT_TRUE(spy.mods.testFlag(Qt::KeypadModifier));
    driver::pressKey(second, 46, true, false);
    EXPECT_EQ(spy.key, Qt::Key_Delete);
    EXPECT_TRUE(spy.mods.testFlag(Qt::ControlModifier));
}

TEST_F(Driver, ClickButtonAndTab) {
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    driver::click(button);
    EXPECT_EQ(clicks, 1);
    driver::click(pageB);
    EXPECT_EQ(tabs->currentWidget(), pageB);
    driver::click(pageA);
    EXPECT_EQ(tabs->currentWidget(), pageA);
}

// A tab page that is not showing is hidden, yet its tab can be clicked.
TEST_F(Driver, HiddenTabPageIsClickableByItsTab) {
    ASSERT_EQ(tabs->currentWidget(), pageA);
    EXPECT_FALSE(pageB->isVisible());
    EXPECT_TRUE(driver::clickable(pageB));
    tabs->setTabEnabled(1, false);
    EXPECT_FALSE(driver::clickable(pageB));
    tabs->setTabEnabled(1, true);
    driver::click(pageB);
    EXPECT_EQ(tabs->currentWidget(), pageB);
    button->setEnabled(false);
    EXPECT_FALSE(driver::clickable(button));
    EXPECT_TRUE(driver::clickable(first));
}

}  // namespace
}  // namespace ctb::qt
