#include "platform/qt/key_codes.h"

#include <gtest/gtest.h>

namespace ctb::qt {
namespace {

struct KeyCase {
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    int code;
};

class QtToVirtual : public ::testing::TestWithParam<KeyCase> {};

TEST_P(QtToVirtual, MapsToWindowsCode) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(virtualKeyFromQt(c.qtKey, c.modifiers).code, c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, QtToVirtual,
    ::testing::Values(
        KeyCase{Qt::Key_Tab, Qt::NoModifier, 9}, KeyCase{Qt::Key_Backtab, Qt::ShiftModifier, 9},
        KeyCase{Qt::Key_Return, Qt::NoModifier, 13}, KeyCase{Qt::Key_Enter, Qt::KeypadModifier, 13},
        KeyCase{Qt::Key_Left, Qt::NoModifier, 37}, KeyCase{Qt::Key_Up, Qt::NoModifier, 38},
        KeyCase{Qt::Key_Right, Qt::NoModifier, 39}, KeyCase{Qt::Key_Down, Qt::NoModifier, 40},
        KeyCase{Qt::Key_Delete, Qt::NoModifier, 46}, KeyCase{Qt::Key_Plus, Qt::KeypadModifier, 107},
        KeyCase{Qt::Key_Minus, Qt::KeypadModifier, 109}, KeyCase{Qt::Key_Plus, Qt::ShiftModifier, 187},
        KeyCase{Qt::Key_Minus, Qt::NoModifier, 189}, KeyCase{Qt::Key_L, Qt::ControlModifier, 'L'},
        KeyCase{Qt::Key_A, Qt::NoModifier, 65}, KeyCase{Qt::Key_Z, Qt::NoModifier, 90},
        KeyCase{Qt::Key_0, Qt::NoModifier, 48}, KeyCase{Qt::Key_9, Qt::NoModifier, 57},
        KeyCase{Qt::Key_5, Qt::KeypadModifier, 101}, KeyCase{Qt::Key_F2, Qt::NoModifier, 113},
        KeyCase{Qt::Key_Escape, Qt::NoModifier, 27}, KeyCase{Qt::Key_Insert, Qt::NoModifier, 45},
        KeyCase{Qt::Key_unknown, Qt::NoModifier, 0}));

TEST(QtToVirtualModifiers, CarriesCtrlAndShift) {
    const VirtualKeyPress press = virtualKeyFromQt(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(press.code, 46);
    EXPECT_TRUE(press.ctrl);
    EXPECT_TRUE(press.shift);
}

TEST(QtToVirtualModifiers, BacktabCountsAsShiftTab) {
    const VirtualKeyPress press = virtualKeyFromQt(Qt::Key_Backtab, Qt::NoModifier);
    EXPECT_EQ(press.code, 9);
    EXPECT_TRUE(press.shift);
}

class VirtualRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(VirtualRoundTrip, QtKeyMapsBackToTheSameCode) {
    const int code = GetParam();
    const QtKeyPress qt = qtKeyFromVirtual(code);
    ASSERT_NE(qt.key, Qt::Key_unknown) << code;
    EXPECT_EQ(virtualKeyFromQt(qt.key, qt.modifiers).code, code);
}

INSTANTIATE_TEST_SUITE_P(Codes, VirtualRoundTrip,
                         ::testing::Values(8, 9, 13, 27, 32, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 48, 57,
                                           65, 90, 96, 105, 106, 107, 109, 110, 111, 112, 123, 187, 189));

TEST(VirtualToQt, KeypadPlusAndMinusCarryTheKeypadModifier) {
    EXPECT_TRUE(qtKeyFromVirtual(107).modifiers.testFlag(Qt::KeypadModifier));
    EXPECT_TRUE(qtKeyFromVirtual(109).modifiers.testFlag(Qt::KeypadModifier));
    EXPECT_FALSE(qtKeyFromVirtual(187).modifiers.testFlag(Qt::KeypadModifier));
    EXPECT_FALSE(qtKeyFromVirtual(189).modifiers.testFlag(Qt::KeypadModifier));
}

TEST(VirtualToQt, ShiftTabBecomesBacktab) {
    const QtKeyPress press = qtKeyFromVirtual(9, false, true);
    EXPECT_EQ(press.key, Qt::Key_Backtab);
    EXPECT_TRUE(press.modifiers.testFlag(Qt::ShiftModifier));
}

TEST(VirtualToQt, CtrlLetter) {
    const QtKeyPress press = qtKeyFromVirtual('L', true, false);
    EXPECT_EQ(press.key, Qt::Key_L);
    EXPECT_EQ(press.modifiers, Qt::KeyboardModifiers(Qt::ControlModifier));
}

}  // namespace
}  // namespace ctb::qt
