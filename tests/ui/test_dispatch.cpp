// The user-action boundary: nothing escapes, failures are shown, aborts are silent.

#include "platform/ui/controls.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/user_input.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace ctb::ui;

TEST(Dispatch, AbortIsSwallowedSilently) {
    HeadlessUi ui;
    EXPECT_FALSE(runUserAction(&ui, [] { throw AbortAction(); }));
    EXPECT_TRUE(ui.messages().empty());
}

TEST(Dispatch, OtherExceptionsAreShownAsErrors) {
    HeadlessUi ui;
    EXPECT_FALSE(runUserAction(&ui, [] { throw std::runtime_error("Tabela não está aberta."); }));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages().front().text, QStringLiteral("Tabela não está aberta."));
    EXPECT_EQ(ui.messages().front().kind, MessageKind::Error);
    EXPECT_FALSE(runUserAction(&ui, [] { throw 42; }));
    EXPECT_EQ(ui.messages().size(), 2u);
}

TEST(Dispatch, CompletedActionReturnsTrueAndDepthIsRestored) {
    int depthInside = 0;
    EXPECT_TRUE(runUserAction(nullptr, [&] { depthInside = userActionDepth(); }));
    EXPECT_EQ(depthInside, 1);
    EXPECT_EQ(userActionDepth(), 0);
}

// Every entry point catches whatever a handler throws.
TEST(Dispatch, NoEntryPointLetsAnAbortOut) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<Edit>(QStringLiteral("e"));
    auto& b = form.add<Button>(QStringLiteral("b"));
    auto& m = form.add<MenuItem>(QStringLiteral("m"));
    m.setShortcut(vk::KeyA + ('L' - 'A'), ShiftState{true, false});
    auto thrower = [](Control&) { throw AbortAction(); };
    e.onEnter = thrower;
    e.onChange = thrower;
    e.onKeyDown = [](Control&, int&, ShiftState) { throw std::logic_error("falha"); };
    b.onClick = thrower;
    m.onClick = thrower;
    EXPECT_NO_THROW(user::focus(e));
    EXPECT_NO_THROW(user::type(e, QStringLiteral("abc")));
    EXPECT_NO_THROW(user::key(e, vk::Return));
    EXPECT_NO_THROW(user::click(b));
    EXPECT_NO_THROW(user::setText(e, QStringLiteral("x")));
    EXPECT_NO_THROW(user::close(form));
    e.onKeyDown = nullptr;
    EXPECT_FALSE(user::key(e, 'L', ShiftState{true, false}));  // the shortcut's handler aborted
}

TEST(Keys, ShortcutRunsMenuItemBeforeTheControl) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<Edit>(QStringLiteral("e"));
    auto& menu = form.add<MenuItem>(QStringLiteral("mnuMenu"));
    auto& item = menu.add<MenuItem>(QStringLiteral("mnuFiltrar"));
    item.setShortcut('L', ShiftState{true, false});
    int runs = 0;
    int keyDowns = 0;
    item.onClick = [&runs](Control&) { ++runs; };
    e.onKeyDown = [&keyDowns](Control&, int&, ShiftState) { ++keyDowns; };
    user::key(e, 'L', ShiftState{true, false});
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(keyDowns, 0);
    EXPECT_EQ(e.text(), QString());
    item.setEnabled(false);
    user::key(e, 'L', ShiftState{true, false});
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(keyDowns, 1);
}

TEST(Keys, KeyPressHandlerCanChangeOrSwallowTypedCharacters) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<Edit>(QStringLiteral("medHistLanc"));
    e.onKeyPress = [](Control&, QChar& ch) {
        if (ch == u'_')
            ch = QChar();
        else if (ch >= u'a' && ch <= u'z')
            ch = ch.toUpper();
    };
    user::type(e, QStringLiteral("ab_c1ç"));
    EXPECT_EQ(e.text(), QStringLiteral("ABC1ç"));
}

TEST(Keys, KeypadSignsAreDistinctFromMainKeyboard) {
    EXPECT_EQ(charForKey(vk::Add, {}), QChar(u'+'));
    EXPECT_EQ(charForKey(vk::Subtract, {}), QChar(u'-'));
    EXPECT_EQ(charForKey(vk::OemMinus, {}), QChar(u'-'));
    EXPECT_NE(vk::Add, vk::OemPlus);
    EXPECT_EQ(charForKey(vk::Delete, {}), QChar());
    EXPECT_EQ(charForKey('A', ShiftState{true, false}), QChar());
    EXPECT_EQ(charForKey('A', {}), QChar(u'a'));
    EXPECT_EQ(keyForChar(u'Z'), 'Z');
}

// Characters with no key code (accented letters) go down as key 0; items without a shortcut also
// hold key 0. Neither may ever match.
TEST(Keys, KeyZeroNeverMatchesAMenuItem) {
    HeadlessUi ui;
    Form form(QStringLiteral("f"), &ui);
    auto& e = form.add<Edit>(QStringLiteral("e"));
    auto& menu = form.add<MenuItem>(QStringLiteral("mnuMenu"));
    auto& plain = menu.add<MenuItem>(QStringLiteral("mnuIncluir"));
    int runs = 0;
    plain.onClick = [&runs](Control&) { ++runs; };
    EXPECT_EQ(form.findShortcut(0, {}), nullptr);
    EXPECT_EQ(form.findShortcut(0, ShiftState{true, false}), nullptr);
    plain.setShortcut(0, ShiftState{true, false});
    EXPECT_EQ(form.findShortcut(0, ShiftState{true, false}), nullptr);
    user::type(e, QStringLiteral("ação"));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(e.text(), QStringLiteral("ação"));
    user::key(e, 0);
    EXPECT_EQ(runs, 0);
}
