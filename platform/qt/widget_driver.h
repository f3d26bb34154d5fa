#pragma once

#include <QString>

class QWidget;
class QAbstractItemView;

namespace ctb::qt {

// Drives real widgets as a person would, through QTest: used by the script runner's Qt backend and
// by the tests. Every function processes pending events before returning.
namespace driver {

// The widget named `name`: looked up in the innermost modal dialog first, then in the other
// windows from the most recently shown. Null when none carries that name.
[[nodiscard]] QWidget* findControl(const QString& name);

// Makes the widget's window active (there is no window manager offscreen) so focus events flow.
void activate(QWidget* widget);

// Gives the widget the keyboard focus as a click or Tab would.
void focus(QWidget* widget);

// Replaces the text of an edit keystroke by keystroke. Characters outside ASCII are sent as key
// events carrying the text (QTest::keyClicks cannot type them).
void typeText(QWidget* widget, const QString& text);

// A key goes down and up on the widget with the focus inside `widget`'s window.
void pressKey(QWidget* widget, int virtualCode, bool ctrl, bool shift);

// Clicks a button, radio button or the tab named by the widget (a tab page clicks its tab).
void click(QWidget* widget);

// Whether a person could click the widget now: enabled and shown in its window. A tab page counts
// by its tab, which can be clicked while another page is showing.
[[nodiscard]] bool clickable(QWidget* widget);

// Lets queued events (and item-view commits) run.
void settle();

}  // namespace driver

}  // namespace ctb::qt
