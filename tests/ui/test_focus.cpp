// Focus manager: exit/enter order across nested panels, aborting handlers, unfocusable controls.

#include "platform/ui/controls.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/user_input.h"

#include <gtest/gtest.h>

namespace {
[[maybe_unused]] QStringList names(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out << QString::fromUtf8(i);
    return out;
}
}  // namespace

using namespace ctb::ui;

namespace {

struct NestedForm {
    HeadlessUi services;
    Form form{QStringLiteral("frmTeste"), &services};
    Panel& panA = form.add<Panel>(QStringLiteral("panA"));
    Panel& panA1 = panA.add<Panel>(QStringLiteral("panA1"));
    Edit& edtA1 = panA1.add<Edit>(QStringLiteral("edtA1"));
    Edit& edtA1b = panA1.add<Edit>(QStringLiteral("edtA1b"));
    Edit& edtA = panA.add<Edit>(QStringLiteral("edtA"));
    Panel& panB = form.add<Panel>(QStringLiteral("panB"));
    Panel& panB1 = panB.add<Panel>(QStringLiteral("panB1"));
    Edit& edtB1 = panB1.add<Edit>(QStringLiteral("edtB1"));
    QStringList log;

    NestedForm() {
        for (Control* c :
             std::initializer_list<Control*>{&panA, &panA1, &edtA1, &edtA1b, &edtA, &panB, &panB1, &edtB1}) {
            c->onEnter = [this](Control& s) { log << s.name() + QStringLiteral(".enter"); };
            c->onExit = [this](Control& s) { log << s.name() + QStringLiteral(".exit"); };
        }
    }
};

TEST(FocusOrder, ExitsInnermostFirstThenEntersOutermostFirst) {
    NestedForm f;
    ASSERT_TRUE(f.edtA1.setFocus());
    EXPECT_EQ(f.log, names({"panA.enter", "panA1.enter", "edtA1.enter"}));
    f.log.clear();
    ASSERT_TRUE(f.edtB1.setFocus());
    EXPECT_EQ(f.log,
              names({"edtA1.exit", "panA1.exit", "panA.exit", "panB.enter", "panB1.enter", "edtB1.enter"}));
    EXPECT_TRUE(f.edtB1.focused());
}

TEST(FocusOrder, SiblingMoveRunsNoContainerEvents) {
    NestedForm f;
    f.edtA1.setFocus();
    f.log.clear();
    f.edtA1b.setFocus();
    EXPECT_EQ(f.log, names({"edtA1.exit", "edtA1b.enter"}));
}

TEST(FocusOrder, MovingOutOfInnerPanelOnlyLeavesThatPanel) {
    NestedForm f;
    f.edtA1.setFocus();
    f.log.clear();
    f.edtA.setFocus();
    EXPECT_EQ(f.log, names({"edtA1.exit", "panA1.exit", "edtA.enter"}));
}

TEST(FocusOrder, FocusingAPanelFocusesItsFirstControl) {
    NestedForm f;
    ASSERT_TRUE(f.panB.setFocus());
    EXPECT_TRUE(f.edtB1.focused());
}

TEST(FocusAbort, AbortingExitHandlerKeepsTheFocus) {
    NestedForm f;
    f.edtA1.setFocus();
    f.panA1.onExit = [](Control&) { throw AbortAction(); };
    f.log.clear();
    EXPECT_FALSE(user::focus(f.edtB1) && f.edtB1.focused());
    EXPECT_TRUE(f.edtA1.focused());
    EXPECT_EQ(f.log, names({"edtA1.exit"}));
}

TEST(FocusAbort, HandlerThatMovesFocusThenAbortsWins) {
    NestedForm f;
    f.edtA1.setFocus();
    f.edtA1.onExit = [&f](Control&) {
        f.edtA.setFocus();
        throw AbortAction();
    };
    f.log.clear();
    user::focus(f.edtB1);
    EXPECT_TRUE(f.edtA.focused());
    EXPECT_FALSE(f.log.contains(QStringLiteral("panB.enter")));
    EXPECT_TRUE(f.log.contains(QStringLiteral("edtA.enter")));
}

TEST(FocusAbort, HandlerThatMovesFocusWithoutAbortStillWins) {
    NestedForm f;
    f.edtA1.setFocus();
    f.panA.onExit = [&f](Control&) { f.edtA1b.setFocus(); };
    user::focus(f.edtB1);
    EXPECT_TRUE(f.edtA1b.focused());
}

TEST(FocusRefusal, DisabledOrHiddenControlsCannotTakeTheFocus) {
    NestedForm f;
    f.edtA1.setFocus();
    f.edtB1.setEnabled(false);
    EXPECT_FALSE(f.edtB1.setFocus());
    f.edtB1.setEnabled(true);
    f.panB1.setVisible(false);
    EXPECT_FALSE(f.edtB1.setFocus());
    f.panB1.setVisible(true);
    f.panB.setEnabled(false);
    EXPECT_FALSE(f.edtB1.setFocus());
    EXPECT_TRUE(f.edtA1.focused());
}

TEST(FocusRefusal, HidingTheFocusedControlDropsTheFocus) {
    NestedForm f;
    f.edtA1.setFocus();
    f.panA.setVisible(false);
    EXPECT_EQ(f.form.activeControl(), nullptr);
}

TEST(FocusTab, TabMovesInTabOrderAndSkipsDisabled) {
    NestedForm f;
    f.edtA1.setFocus();
    f.edtA1b.setEnabled(false);
    user::key(f.edtA1, vk::Tab);
    EXPECT_TRUE(f.edtA.focused());
    user::key(f.edtA, vk::Tab, ShiftState{false, true});
    EXPECT_TRUE(f.edtA1.focused());
}

TEST(FocusTabSheets, ControlsOnAHiddenSheetCannotTakeFocus) {
    HeadlessUi services;
    Form form(QStringLiteral("f"), &services);
    auto& pages = form.add<PageControl>(QStringLiteral("pgc"));
    auto& one = pages.addPage(QStringLiteral("tsh1"), QStringLiteral("Um"));
    auto& two = pages.addPage(QStringLiteral("tsh2"), QStringLiteral("Dois"));
    auto& e1 = one.add<Edit>(QStringLiteral("e1"));
    auto& e2 = two.add<Edit>(QStringLiteral("e2"));
    EXPECT_TRUE(e1.setFocus());
    EXPECT_FALSE(e2.setFocus());
    bool allow = false;
    pages.onChanging = [&allow](Control&, bool& a) { a = allow; };
    user::click(two);
    EXPECT_EQ(pages.activePage(), &one);
    allow = true;
    user::click(two);
    EXPECT_EQ(pages.activePage(), &two);
    EXPECT_EQ(form.activeControl(), nullptr);
    EXPECT_TRUE(e2.setFocus());
}

TEST(FocusButtons, ClickOnButtonRunsExitFirstAndAbortCancelsTheClick) {
    NestedForm f;
    auto& btn = f.form.add<Button>(QStringLiteral("btnOk"));
    auto& spb = f.form.add<SpeedButton>(QStringLiteral("spbOk"));
    int clicks = 0;
    btn.onClick = [&clicks](Control&) { ++clicks; };
    spb.onClick = [&clicks](Control&) { ++clicks; };
    f.edtA1.setFocus();
    f.edtA1.onExit = [](Control&) { throw AbortAction(); };
    user::click(btn);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(f.edtA1.focused());
    // A speed button never takes the focus, so no exit runs and the click happens.
    user::click(spb);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(f.edtA1.focused());
}

}  // namespace
