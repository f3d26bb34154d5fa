#pragma once

// The entry points a renderer (or the script runner) calls for one user action. Each runs the
// action through runUserAction: AbortAction and any other failure are caught here, so nothing ever
// escapes into the toolkit. Each returns true when the action ran to the end.

#include "platform/export.h"
#include "platform/ui/data_controls.h"

namespace ctb::ui::user {

// Click into / tab to a control (a container passes it to its first focusable control).
CTB_PLATFORM_EXPORT bool focus(Control& control);
// A key goes down in the control (focused first): menu shortcuts, then the form's key preview,
// then the control's onKeyDown, then the control's own handling (Tab moves on, grid keys...), then
// onKeyPress for keys that produce a character.
CTB_PLATFORM_EXPORT bool key(Control& control, int virtualKey, ShiftState shift = {});
// Focus the control and replace its text keystroke by keystroke ("" empties it).
CTB_PLATFORM_EXPORT bool type(Control& control, const QString& text);
// One character typed into the focused edit or grid cell (onKeyPress first).
CTB_PLATFORM_EXPORT bool typeChar(Control& control, QChar ch);
// The toolkit committed a whole new text (paste, an editor that does not report keystrokes).
CTB_PLATFORM_EXPORT bool setText(Control& control, const QString& text);
// A key on an edit whose widget edits its own text (at its cursor, over its selection, through its
// mask): menu shortcuts, the form's key preview, onKeyDown and, for a character, onKeyPress run as
// for key(). Returns whether the key is left for the widget to apply; `ch` is then the character to
// type (changed or nulled by onKeyPress; null for a key that types none). False when a handler took
// the key, moved on (Tab) or ended the action.
CTB_PLATFORM_EXPORT bool keyForWidget(Control& control, int virtualKey, ShiftState shift, QChar& ch);
// The text a widget's editing left in an edit (see Edit::typeText).
CTB_PLATFORM_EXPORT bool editText(Control& control, const QString& text);
// Button, speed button, radio button, check box, menu item, tab sheet.
CTB_PLATFORM_EXPORT bool click(Control& control);
// Grid: select a column by field name, a row (1-based), type into a cell of the current row, press
// the ellipsis button of the current cell.
CTB_PLATFORM_EXPORT bool selectColumn(DBGrid& grid, const QString& fieldName);
CTB_PLATFORM_EXPORT bool selectRow(DBGrid& grid, int row1);
CTB_PLATFORM_EXPORT bool editCell(DBGrid& grid, const QString& fieldName, const QString& text);
CTB_PLATFORM_EXPORT bool editButton(DBGrid& grid);
// The window's close box.
CTB_PLATFORM_EXPORT bool close(Form& form);

}  // namespace ctb::ui::user
