#include "platform/dataset/edit_mask.h"
#include "platform/ui/controls.h"

namespace ctb::ui {

// ---------------------------------------------------------------- Edit

void Edit::setText(const QString& text) {
    if (this->text() == text)
        return;
    setTextSilently(text);
    fire(onChange, *this);
}

void Edit::setReadOnly(bool on) {
    if (readOnly_ == on)
        return;
    readOnly_ = on;
    changed(Change::ReadOnly);
}

bool Edit::typeChar(QChar ch) {
    if (readOnly_ || ch.isNull())
        return false;
    if (maxLength_ > 0 && text().size() >= maxLength_)
        return false;
    if (upperCase)
        ch = ch.toUpper();
    setText(text() + ch);
    return true;
}

void Edit::backspace() {
    if (readOnly_ || text().isEmpty())
        return;
    setText(text().chopped(1));
}

// ---------------------------------------------------------------- MaskEdit

namespace {

struct Slot {
    QChar literal;     // for literal positions
    QChar kind;        // picture character for edit positions, null for literals
    int caseMode = 0;  // 1 upper, -1 lower
};

std::vector<Slot> slotsOf(const QString& mask) {
    const EditMask parsed = EditMask::parse(mask);
    std::vector<Slot> out;
    int caseMode = 0;
    const QString& p = parsed.picture;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'>') {
            caseMode = 1;
        } else if (c == u'<') {
            if (i + 1 < p.size() && p[i + 1] == u'>') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = -1;
            }
        } else if (c == u'!') {
            // only changes how blanks are trimmed
        } else if (c == u'\\' && i + 1 < p.size()) {
            out.push_back(Slot{p[++i], QChar(), 0});
        } else if (QStringLiteral("09#LlAaCc").contains(c)) {
            out.push_back(Slot{QChar(), c, caseMode});
        } else {
            out.push_back(Slot{c == u'_' ? QChar(u' ') : c, QChar(), 0});
        }
    }
    return out;
}

bool fits(QChar kind, QChar ch) {
    switch (kind.unicode()) {
        case '0':
        case '9':
            return ch.isDigit();
        case '#':
            return ch.isDigit() || ch == u'+' || ch == u'-' || ch == u' ';
        case 'L':
        case 'l':
            return ch.isLetter();
        case 'A':
        case 'a':
            return ch.isLetterOrNumber();
        default:
            return !ch.isNull();
    }
}

// The filled characters of a masked text, one per slot (null = unfilled), read back from its text.
std::vector<QChar> cellsOf(const std::vector<Slot>& slots, const QString& text) {
    std::vector<QChar> cells(slots.size());
    std::size_t pos = 0;
    for (QChar ch : text) {
        if (pos >= slots.size())
            break;
        if (slots[pos].kind.isNull()) {
            if (ch == slots[pos].literal) {
                ++pos;
                continue;
            }
            while (pos < slots.size() && slots[pos].kind.isNull())
                ++pos;
            if (pos >= slots.size())
                break;
        }
        if (ch == u' ' && slots[pos].kind != u'C' && slots[pos].kind != u'c') {
            ++pos;  // a blank keeps the position unfilled
            continue;
        }
        if (!fits(slots[pos].kind, ch))
            continue;
        if (slots[pos].caseMode > 0)
            ch = ch.toUpper();
        else if (slots[pos].caseMode < 0)
            ch = ch.toLower();
        cells[pos++] = ch;
    }
    return cells;
}

QString textOf(const std::vector<Slot>& slots, const std::vector<QChar>& cells, QChar blank, bool full) {
    std::size_t last = 0;
    bool any = false;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (!cells[i].isNull()) {
            last = i;
            any = true;
        }
    const std::size_t end = full ? slots.size() : (any ? last + 1 : 0);
    QString out;
    for (std::size_t i = 0; i < end; ++i)
        out += slots[i].kind.isNull() ? slots[i].literal : (cells[i].isNull() ? blank : cells[i]);
    return out;
}

}  // namespace

void MaskEdit::setEditMask(const QString& mask) {
    mask_ = mask;
    changed(Change::Mask);
    if (!mask_.isEmpty())
        setTextSilently(textOf(slotsOf(mask_), cellsOf(slotsOf(mask_), Edit::text()), u' ', false));
}

void MaskEdit::setText(const QString& text) {
    if (mask_.isEmpty()) {
        Edit::setText(text);
        return;
    }
    const auto slots = slotsOf(mask_);
    Edit::setText(textOf(slots, cellsOf(slots, text), u' ', false));
}

QString MaskEdit::displayText() const {
    if (mask_.isEmpty())
        return text();
    const auto slots = slotsOf(mask_);
    return textOf(slots, cellsOf(slots, text()), EditMask::parse(mask_).blank, true);
}

bool MaskEdit::typeChar(QChar ch) {
    if (mask_.isEmpty())
        return Edit::typeChar(ch);
    if (readOnly() || ch.isNull())
        return false;
    const auto slots = slotsOf(mask_);
    // The cursor stands after the current text (typing always appends here).
    std::size_t pos = static_cast<std::size_t>(text().size());
    if (pos >= slots.size())
        return false;
    if (slots[pos].kind.isNull() && ch == slots[pos].literal) {
        // Moving past a literal changes nothing visible until a later position is filled; keep the
        // literal in the text so that the next character lands after it.
        setTextSilently(text() + ch);
        return true;
    }
    QString prefix = text();
    while (pos < slots.size() && slots[pos].kind.isNull())
        prefix += slots[pos++].literal;
    if (pos >= slots.size() || !fits(slots[pos].kind, ch))
        return false;
    if (slots[pos].caseMode > 0)
        ch = ch.toUpper();
    else if (slots[pos].caseMode < 0)
        ch = ch.toLower();
    Edit::setText(prefix + ch);
    return true;
}

void MaskEdit::backspace() {
    if (mask_.isEmpty()) {
        Edit::backspace();
        return;
    }
    if (readOnly() || text().isEmpty())
        return;
    const auto slots = slotsOf(mask_);
    QString t = text();
    t.chop(1);
    while (!t.isEmpty() && static_cast<std::size_t>(t.size()) <= slots.size() &&
           slots[static_cast<std::size_t>(t.size() - 1)].kind.isNull())
        t.chop(1);
    Edit::setText(t);
}

// ---------------------------------------------------------------- NumberEdit

double NumberEdit::number() const {
    const QString t = text().trimmed();
    if (t.isEmpty())
        return 0.0;
    bool ok = false;
    double v = locale_.toDouble(t, &ok);
    if (!ok) {
        v = QLocale::c().toDouble(t, &ok);
        if (!ok)
            return 0.0;
    }
    return v;
}

void NumberEdit::setNumber(double value) {
    QLocale loc = locale_;
    loc.setNumberOptions(QLocale::DefaultNumberOptions);
    setText(loc.toString(value, 'f', decimals_));
}

bool NumberEdit::typeChar(QChar ch) {
    const QString dec = locale_.decimalPoint();
    const QString group = locale_.groupSeparator();
    const bool ok =
        ch.isDigit() || QString(ch) == dec || QString(ch) == group || (ch == u'-' && text().isEmpty());
    if (!ok)
        return false;
    if (QString(ch) == dec && text().contains(dec))
        return false;
    return Edit::typeChar(ch);
}

// ---------------------------------------------------------------- DateEdit

DateEdit::DateEdit(QString name) : MaskEdit(ControlKind::DateEdit, std::move(name)) {
    setEditMask(QStringLiteral("!99/99/9999;1; "));
}

bool DateEdit::isEmpty() const {
    for (QChar c : text())
        if (c.isDigit())
            return false;
    return true;
}

std::optional<QDate> DateEdit::date() const {
    if (isEmpty())
        return std::nullopt;
    return QDate::fromString(text().trimmed(), QStringLiteral("dd/MM/yyyy"));
}

void DateEdit::setDate(const QDate& date) {
    setText(date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
}

}  // namespace ctb::ui
