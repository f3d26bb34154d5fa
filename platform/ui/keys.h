#pragma once

// Windows-style virtual key codes: the screens compare keys by these numbers whatever draws them.

#include "platform/export.h"

#include <QChar>

namespace ctb::ui {

namespace vk {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Key0 = 48;  // '0'..'9' are 48..57
inline constexpr int KeyA = 65;  // 'A'..'Z' are 65..90
inline constexpr int Numpad0 = 96;
inline constexpr int Multiply = 106;
inline constexpr int Add = 107;  // keypad plus
inline constexpr int Separator = 108;
inline constexpr int Subtract = 109;  // keypad minus
inline constexpr int Decimal = 110;
inline constexpr int Divide = 111;
inline constexpr int F1 = 112;
inline constexpr int OemPlus = 187;  // main keyboard '=' / '+'
inline constexpr int OemComma = 188;
inline constexpr int OemMinus = 189;  // main keyboard '-' / '_'
inline constexpr int OemPeriod = 190;
}  // namespace vk

struct CTB_PLATFORM_EXPORT ShiftState {
    bool ctrl = false;
    bool shift = false;
    bool operator==(const ShiftState&) const = default;
};

// The character a key produces for the key-press event, or a null QChar when it produces none
// (arrows, Delete, function keys, anything with Ctrl).
[[nodiscard]] CTB_PLATFORM_EXPORT QChar charForKey(int virtualKey, ShiftState shift);

// The virtual key that types a character (for typing text keystroke by keystroke); 0 when none.
[[nodiscard]] CTB_PLATFORM_EXPORT int keyForChar(QChar ch);

}  // namespace ctb::ui
