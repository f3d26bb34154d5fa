#pragma once

#include "platform/ui/controls.h"

#include <QChar>
#include <QString>

class QKeyEvent;
class QLineEdit;

namespace ctb::qt {

// Who applies a key pressed in a line edit or memo.
enum class EditKeyRoute {
    Model,       // the control model's key handling (Tab, Enter, arrows up and down, function keys...)
    Widget,      // the model's handlers run, then the widget edits its text (characters, erasing, clipboard)
    Navigation,  // the widget alone moves its cursor or selection
};

[[nodiscard]] EditKeyRoute editKeyRoute(const QKeyEvent& event, const ui::Edit& edit);

// The character a key types into the edit before its handlers see it: the keypad's decimal key is
// the locale's decimal separator in a numeric edit; an upper-case edit types capitals. Null for a
// key that types none; Backspace is QChar(8) as the model knows it.
[[nodiscard]] QChar typedCharOf(const QKeyEvent& event, const ui::Edit& edit);

// The text the line edit would hold after typing `ch` at its cursor (over its selection), without a
// mask; used to keep a numeric edit's text a number being typed.
[[nodiscard]] QString textAfterTyping(const QLineEdit& widget, QChar ch);

// The text a line edit holds in the control model's terms: with a mask, every position kept (an
// unfilled one as a blank, which the model reads as unfilled), so that a position blanked in the
// middle does not shift the rest as QLineEdit::text() would.
[[nodiscard]] QString modelTextOf(const QLineEdit& widget);

// Whether the line edit shows the model's text already (a mask's unfilled tail and trailing literals
// aside), so that nothing needs writing back.
[[nodiscard]] bool showsModelText(const QLineEdit& widget, const QString& modelText);

// Whether `text` can be a number being typed in the locale: an optional leading minus, digits and
// group separators, at most one decimal separator.
[[nodiscard]] bool isPartialNumber(const QString& text, const QLocale& locale);

}  // namespace ctb::qt
