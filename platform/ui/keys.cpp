#include "platform/ui/keys.h"

namespace ctb::ui {

QChar charForKey(int key, ShiftState shift) {
    if (shift.ctrl)
        return {};
    if (key >= vk::KeyA && key < vk::KeyA + 26)
        return shift.shift ? QChar(key) : QChar(key + 32);
    if (key >= vk::Key0 && key < vk::Key0 + 10 && !shift.shift)
        return QChar(key);
    if (key >= vk::Numpad0 && key < vk::Numpad0 + 10)
        return QChar(u'0' + (key - vk::Numpad0));
    switch (key) {
        case vk::Back:
            return QChar(8);
        case vk::Return:
            return QChar(13);
        case vk::Escape:
            return QChar(27);
        case vk::Space:
            return QChar(u' ');
        case vk::Add:
            return QChar(u'+');
        case vk::Subtract:
            return QChar(u'-');
        case vk::Multiply:
            return QChar(u'*');
        case vk::Divide:
            return QChar(u'/');
        case vk::OemPlus:
            return shift.shift ? QChar(u'+') : QChar(u'=');
        case vk::OemMinus:
            return shift.shift ? QChar(u'_') : QChar(u'-');
        case vk::OemComma:
            return QChar(u',');
        case vk::OemPeriod:
            return QChar(u'.');
        default:
            return {};
    }
}

int keyForChar(QChar ch) {
    const char16_t c = ch.unicode();
    if (c >= u'a' && c <= u'z')
        return vk::KeyA + (c - u'a');
    if (c >= u'A' && c <= u'Z')
        return vk::KeyA + (c - u'A');
    if (c >= u'0' && c <= u'9')
        return vk::Key0 + (c - u'0');
    switch (c) {
        case u' ':
            return vk::Space;
        case u'-':
        case u'_':
            return vk::OemMinus;
        case u'+':
        case u'=':
            return vk::OemPlus;
        case u',':
            return vk::OemComma;
        case u'.':
            return vk::OemPeriod;
        case 8:
            return vk::Back;
        case 13:
            return vk::Return;
        default:
            return 0;
    }
}

}  // namespace ctb::ui
