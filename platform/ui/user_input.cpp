#include "platform/ui/user_input.h"

#include "platform/dataset/client_dataset.h"
#include "platform/ui/dispatch.h"

namespace ctb::ui::user {

namespace {

UiServices* servicesOf(const Control& c) {
    const Form* f = c.form();
    return f != nullptr ? f->services() : nullptr;
}

bool run(const Control& c, const std::function<void()>& action) {
    return runUserAction(servicesOf(c), action);
}

bool holdsFocus(const Control& c) {
    const Form* f = c.form();
    return f != nullptr && f->activeControl() != nullptr && c.contains(*f->activeControl());
}

// Focus as a click would: returns whether the control (or something inside it) now has it.
bool focusIn(Control& c) {
    if (!holdsFocus(c))
        c.setFocus();
    return holdsFocus(c);
}

Edit* asEdit(Control& c) {
    switch (c.kind()) {
        case ControlKind::Edit:
        case ControlKind::MaskEdit:
        case ControlKind::NumberEdit:
        case ControlKind::DateEdit:
        case ControlKind::Memo:
        case ControlKind::DBEdit:
            return static_cast<Edit*>(&c);
        default:
            return nullptr;
    }
}

void pressChar(Control& target, QChar ch) {
    Form* f = target.form();
    if (f != nullptr && f->keyPreview && f->onKeyPress) {
        f->onKeyPress(*f, ch);
        if (ch.isNull())
            return;
    }
    if (target.onKeyPress) {
        target.onKeyPress(target, ch);
        if (ch.isNull())
            return;
    }
    if (target.kind() == ControlKind::DBGrid) {
        if (ch != QChar(13) && ch != QChar(27))
            static_cast<DBGrid&>(target).typeChar(ch);
        return;
    }
    Edit* edit = asEdit(target);
    if (edit == nullptr)
        return;
    if (ch == QChar(8))
        edit->backspace();
    else if (ch == QChar(13))
        static_cast<void>(target.kind() == ControlKind::Memo && static_cast<Memo&>(target).wantReturns &&
                          edit->typeChar(u'\n'));
    else if (ch != QChar(27))
        edit->typeChar(ch);
}

// One keystroke on the focused control: shortcuts, key preview, onKeyDown, own handling, key press.
// A character no key code stands for (key 0: accented letters) only goes through the key press.
void keystroke(Control& target, int key, ShiftState shift, QChar ch) {
    if (key == 0) {
        if (!ch.isNull())
            pressChar(target, ch);
        return;
    }
    Form* f = target.form();
    if (f != nullptr)
        if (MenuItem* item = f->findShortcut(key, shift)) {
            item->doClick();
            return;
        }
    if (f != nullptr && f->keyPreview && f->onKeyDown) {
        f->onKeyDown(*f, key, shift);
        if (key == 0)
            return;
    }
    if (target.onKeyDown) {
        target.onKeyDown(target, key, shift);
        if (key == 0)
            return;
    }
    if (target.kind() == ControlKind::DBGrid) {
        switch (key) {
            case vk::Up:
            case vk::Down:
            case vk::Left:
            case vk::Right:
            case vk::Tab:
            case vk::Home:
            case vk::End:
            case vk::Insert:
            case vk::Escape:
            case vk::Return:
            case vk::Delete:
                static_cast<DBGrid&>(target).defaultKey(key, shift);
                if (key == vk::Tab || key == vk::Delete || key == vk::Escape || key == vk::Return)
                    return;
                break;
            default:
                break;
        }
    } else if (key == vk::Tab && f != nullptr) {
        f->selectNext(!shift.shift);
        return;
    }
    if (!ch.isNull())
        pressChar(target, ch);
}

void typeInto(Control& target, const QString& text) {
    if (Edit* edit = asEdit(target)) {
        if (edit->readOnly())
            return;  // a display-only edit takes no typing, nor the emptying before it
        if (!edit->text().isEmpty())
            edit->setText(QString());
    }
    for (QChar ch : text) {
        const int key = keyForChar(ch);
        keystroke(target, key, ShiftState{false, ch.isUpper()}, ch);
        if (!holdsFocus(target))
            return;  // a handler moved the focus away: the rest goes nowhere
    }
}

}  // namespace

bool focus(Control& control) {
    return run(control, [&] { focusIn(control); });
}

bool key(Control& control, int virtualKey, ShiftState shift) {
    return run(control, [&] {
        if (!focusIn(control))
            return;
        keystroke(control, virtualKey, shift, charForKey(virtualKey, shift));
    });
}

bool type(Control& control, const QString& text) {
    return run(control, [&] {
        if (!focusIn(control))
            return;
        if (control.kind() == ControlKind::DBGrid) {
            auto& grid = static_cast<DBGrid&>(control);
            if (Field* f = grid.selectedField())
                grid.editCell(f->fieldName(), QString());
        }
        typeInto(control, text);
    });
}

bool typeChar(Control& control, QChar ch) {
    return run(control, [&] {
        if (!focusIn(control))
            return;
        keystroke(control, keyForChar(ch), ShiftState{false, ch.isUpper()}, ch);
    });
}

bool setText(Control& control, const QString& text) {
    return run(control, [&] {
        if (Edit* edit = asEdit(control); edit != nullptr && !edit->readOnly())
            edit->setText(text);
    });
}

bool keyForWidget(Control& control, int virtualKey, ShiftState shift, QChar& ch) {
    bool left = false;
    const bool ran = run(control, [&] {
        if (!focusIn(control))
            return;
        Form* f = control.form();
        // A character no key stands for (an accented letter) only runs the key-press handlers.
        if (virtualKey != 0) {
            if (f != nullptr)
                if (MenuItem* item = f->findShortcut(virtualKey, shift)) {
                    item->doClick();
                    return;
                }
            int key = virtualKey;
            if (f != nullptr && f->keyPreview && f->onKeyDown) {
                f->onKeyDown(*f, key, shift);
                if (key == 0)
                    return;
            }
            if (control.onKeyDown) {
                control.onKeyDown(control, key, shift);
                if (key == 0)
                    return;
            }
            if (key == vk::Tab && f != nullptr) {
                f->selectNext(!shift.shift);
                return;
            }
        }
        if (!ch.isNull()) {
            if (f != nullptr && f->keyPreview && f->onKeyPress) {
                f->onKeyPress(*f, ch);
                if (ch.isNull())
                    return;
            }
            if (control.onKeyPress) {
                control.onKeyPress(control, ch);
                if (ch.isNull())
                    return;
            }
        }
        left = true;
    });
    return ran && left;
}

bool editText(Control& control, const QString& text) {
    return run(control, [&] {
        if (Edit* edit = asEdit(control); edit != nullptr && !edit->readOnly())
            edit->typeText(text);
    });
}

bool click(Control& control) {
    // A tab is clickable while its page control is, whichever sheet is showing.
    const Control& gate =
        control.kind() == ControlKind::TabSheet && control.parent() != nullptr ? *control.parent() : control;
    if (!gate.effectivelyEnabled() || !gate.effectivelyVisible() || !control.visible())
        return false;
    return run(control, [&] {
        if (control.focusable() && !focusIn(control))
            return;  // an exit handler refused to let the focus go: no click
        control.doClick();
    });
}

bool selectColumn(DBGrid& grid, const QString& fieldName) {
    return run(grid, [&] {
        if (!focusIn(grid))
            return;
        grid.setSelectedField(fieldName);
    });
}

bool selectRow(DBGrid& grid, int row1) {
    return run(grid, [&] {
        if (!focusIn(grid))
            return;
        grid.goToRow(row1);
    });
}

bool editCell(DBGrid& grid, const QString& fieldName, const QString& text) {
    return run(grid, [&] {
        if (!focusIn(grid))
            return;
        grid.setSelectedField(fieldName);
        Field* f = grid.selectedField();
        if (f == nullptr || f->fieldName().compare(fieldName, Qt::CaseInsensitive) != 0)
            return;
        if (text.isEmpty()) {
            grid.editCell(fieldName, QString());
            return;
        }
        for (QChar ch : text) {
            keystroke(grid, keyForChar(ch), ShiftState{false, ch.isUpper()}, ch);
            if (!holdsFocus(grid))
                return;
        }
        grid.commitEditor();
    });
}

bool editButton(DBGrid& grid) {
    return run(grid, [&] {
        if (!focusIn(grid))
            return;
        grid.clickEditButton();
    });
}

bool close(Form& form) {
    return run(form, [&] { form.close(); });
}

}  // namespace ctb::ui::user
