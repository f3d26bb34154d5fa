#include "platform/qt/edit_keys.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace ctb::qt {

namespace {

bool isClipboardOrSelectAll(const QKeyEvent& event) {
    return event.matches(QKeySequence::SelectAll) || event.matches(QKeySequence::Copy) ||
           event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) ||
           event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo);
}

bool isKeypadDecimal(const QKeyEvent& event) {
    return event.modifiers().testFlag(Qt::KeypadModifier) &&
           (event.key() == Qt::Key_Period || event.key() == Qt::Key_Comma || event.key() == Qt::Key_Delete);
}

}  // namespace

EditKeyRoute editKeyRoute(const QKeyEvent& event, const ui::Edit& edit) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int key = event.key();
    if (mods == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Home:
            case Qt::Key_End:
                return EditKeyRoute::Navigation;
            case Qt::Key_Backspace:
                return EditKeyRoute::Widget;
            case Qt::Key_Delete:
                // With NumLock off the keypad's decimal key reads as Delete.
                return EditKeyRoute::Widget;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return edit.kind() == ui::ControlKind::Memo && static_cast<const ui::Memo&>(edit).wantReturns
                           ? EditKeyRoute::Widget
                           : EditKeyRoute::Model;
            default:
                break;
        }
        const QString text = event.text();
        if (!text.isEmpty() && text[0].isPrint()) {
            return EditKeyRoute::Widget;
        }
        return EditKeyRoute::Model;
    }
    if (mods == Qt::ControlModifier) {
        if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End) {
            return EditKeyRoute::Navigation;
        }
        if (isClipboardOrSelectAll(event)) {
            return EditKeyRoute::Widget;
        }
    }
    return EditKeyRoute::Model;
}

QChar typedCharOf(const QKeyEvent& event, const ui::Edit& edit) {
    if (edit.kind() == ui::ControlKind::NumberEdit && isKeypadDecimal(event)) {
        const QString point = static_cast<const ui::NumberEdit&>(edit).locale().decimalPoint();
        return point.isEmpty() ? QChar(u',') : point[0];
    }
    if (event.key() == Qt::Key_Backspace) {
        return QChar(8);
    }
    if (event.modifiers().testFlag(Qt::ControlModifier)) {
        return {};
    }
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return QChar(13);
    }
    const QString text = event.text();
    if (text.size() != 1 || !text[0].isPrint()) {
        return {};
    }
    return edit.upperCase ? text[0].toUpper() : text[0];
}

QString textAfterTyping(const QLineEdit& widget, QChar ch) {
    QString text = widget.text();
    int at = widget.cursorPosition();
    if (widget.hasSelectedText()) {
        at = widget.selectionStart();
        text.remove(at, static_cast<int>(widget.selectedText().size()));
    }
    text.insert(at, ch);
    return text;
}

QString modelTextOf(const QLineEdit& widget) {
    const QString mask = widget.inputMask();
    if (mask.isEmpty()) {
        return widget.text();
    }
    // Qt's mask ends with ";c", c being the blank it shows for an unfilled position.
    const qsizetype semicolon = mask.lastIndexOf(u';');
    const QChar blank = semicolon >= 0 && semicolon + 1 < mask.size() ? mask[semicolon + 1] : QChar(u' ');
    QString shown = widget.displayText();
    if (blank != u' ') {
        shown.replace(blank, QChar(u' '));
    }
    return shown;
}

bool showsModelText(const QLineEdit& widget, const QString& modelText) {
    if (widget.inputMask().isEmpty()) {
        return widget.text() == modelText;
    }
    auto withoutTail = [](QString t) {
        while (!t.isEmpty() && !t.back().isLetterOrNumber()) {
            t.chop(1);
        }
        return t;
    };
    return withoutTail(modelTextOf(widget)) == withoutTail(modelText);
}

bool isPartialNumber(const QString& text, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    bool seenPoint = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit()) {
            continue;
        }
        if (c == u'-' && i == 0) {
            continue;
        }
        if (QString(c) == point && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (QString(c) == group && !seenPoint) {
            continue;
        }
        return false;
    }
    return true;
}

}  // namespace ctb::qt
