#include "platform/qt/key_codes.h"

#include <array>
#include <utility>

namespace ctb::qt {

namespace {

// Keys whose virtual code does not depend on the keypad.
constexpr std::array<std::pair<int, int>, 26> kFixedKeys{{
    {Qt::Key_Backspace, 8},   {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},      {Qt::Key_Shift, 16},       {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
    {Qt::Key_Escape, 27},     {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},        {Qt::Key_Home, 36},        {Qt::Key_Left, 37},    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},      {Qt::Key_Down, 40},        {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},
    {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},      {Qt::Key_Comma, 188},  {Qt::Key_Period, 190},
    {Qt::Key_Slash, 191},     {Qt::Key_Underscore, 189},
}};

constexpr int kKeypadDigit0 = 96;
constexpr int kKeypadMultiply = 106;
constexpr int kKeypadPlus = 107;
constexpr int kKeypadMinus = 109;
constexpr int kKeypadDecimal = 110;
constexpr int kKeypadDivide = 111;
constexpr int kMainPlus = 187;
constexpr int kMainMinus = 189;
constexpr int kF1 = 112;

int keypadCode(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return kKeypadDigit0 + (qtKey - Qt::Key_0);
    }
    switch (qtKey) {
        case Qt::Key_Plus:
            return kKeypadPlus;
        case Qt::Key_Minus:
            return kKeypadMinus;
        case Qt::Key_Asterisk:
            return kKeypadMultiply;
        case Qt::Key_Slash:
            return kKeypadDivide;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return kKeypadDecimal;
        default:
            return 0;
    }
}

}  // namespace

VirtualKeyPress virtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    VirtualKeyPress press;
    press.ctrl = modifiers.testFlag(Qt::ControlModifier);
    press.shift = modifiers.testFlag(Qt::ShiftModifier) || qtKey == Qt::Key_Backtab;
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (int code = keypadCode(qtKey); code != 0) {
            press.code = code;
            return press;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        press.code = 'A' + (qtKey - Qt::Key_A);
    } else if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        press.code = '0' + (qtKey - Qt::Key_0);
    } else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        press.code = kF1 + (qtKey - Qt::Key_F1);
    } else if (qtKey == Qt::Key_Plus) {
        press.code = kMainPlus;
    } else if (qtKey == Qt::Key_Minus) {
        press.code = kMainMinus;
    } else {
        for (const auto& [key, code] : kFixedKeys) {
            if (key == qtKey) {
                press.code = code;
                break;
            }
        }
    }
    return press;
}

QtKeyPress qtKeyFromVirtual(int code, bool ctrl, bool shift) {
    QtKeyPress press;
    Qt::KeyboardModifiers mods;
    if (ctrl) {
        mods |= Qt::ControlModifier;
    }
    if (shift) {
        mods |= Qt::ShiftModifier;
    }
    if (code >= 'A' && code <= 'Z') {
        press.key = static_cast<Qt::Key>(Qt::Key_A + (code - 'A'));
    } else if (code >= '0' && code <= '9') {
        press.key = static_cast<Qt::Key>(Qt::Key_0 + (code - '0'));
    } else if (code >= kKeypadDigit0 && code <= kKeypadDigit0 + 9) {
        press.key = static_cast<Qt::Key>(Qt::Key_0 + (code - kKeypadDigit0));
        mods |= Qt::KeypadModifier;
    } else if (code >= kF1 && code <= kF1 + 11) {
        press.key = static_cast<Qt::Key>(Qt::Key_F1 + (code - kF1));
    } else {
        switch (code) {
            case kKeypadPlus:
                press.key = Qt::Key_Plus;
                mods |= Qt::KeypadModifier;
                break;
            case kKeypadMinus:
                press.key = Qt::Key_Minus;
                mods |= Qt::KeypadModifier;
                break;
            case kKeypadMultiply:
                press.key = Qt::Key_Asterisk;
                mods |= Qt::KeypadModifier;
                break;
            case kKeypadDivide:
                press.key = Qt::Key_Slash;
                mods |= Qt::KeypadModifier;
                break;
            case kKeypadDecimal:
                press.key = Qt::Key_Comma;
                mods |= Qt::KeypadModifier;
                break;
            case kMainPlus:
                press.key = Qt::Key_Plus;
                break;
            case kMainMinus:
                press.key = Qt::Key_Minus;
                break;
            case 13:
                press.key = Qt::Key_Return;
                break;
            default:
                for (const auto& [key, vk] : kFixedKeys) {
                    if (vk == code && key != Qt::Key_Backtab && key != Qt::Key_Enter &&
                        key != Qt::Key_Underscore) {
                        press.key = static_cast<Qt::Key>(key);
                        break;
                    }
                }
        }
    }
    // Qt sends Shift+Tab as Backtab; widgets expect that form.
    if (press.key == Qt::Key_Tab && shift) {
        press.key = Qt::Key_Backtab;
    }
    press.modifiers = mods;
    return press;
}

}  // namespace ctb::qt
