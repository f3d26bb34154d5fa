#pragma once

#include <Qt>

namespace ctb::qt {

// A key as the control model sees it: a Windows-style virtual key code plus Ctrl/Shift.
struct VirtualKeyPress {
    int code = 0;  // 0 when the Qt key has no virtual code we use
    bool ctrl = false;
    bool shift = false;
};

// Maps a Qt key event to a virtual key code. The keypad's plus and minus (107, 109) stay distinct
// from the main keyboard's (187, 189): Qt tells them apart only by Qt::KeypadModifier.
[[nodiscard]] VirtualKeyPress virtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// The Qt key and modifiers that produce a virtual key code, for driving real widgets from scripts.
struct QtKeyPress {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
[[nodiscard]] QtKeyPress qtKeyFromVirtual(int code, bool ctrl = false, bool shift = false);

}  // namespace ctb::qt
