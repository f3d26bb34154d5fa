#pragma once

// Edit masks in the classic notation "picture;saveLiterals;blank", e.g. "9999;0; " (four digits stored
// without literals) or "!99/99/0000;1; " (a date stored with its slashes). Picture characters:
// 0 digit, 9 optional digit, # digit or sign, L/l letter, A/a letter or digit, C/c any character;
// > upper-cases and < lower-cases what follows (<> stops), \ makes the next character a literal,
// ! only changes how blanks are trimmed; '_' shows as a blank; anything else is a literal.

#include "platform/export.h"

#include <QString>
#include <QStringView>

namespace ctb {

struct CTB_PLATFORM_EXPORT EditMask {
    QString picture;           // the first section
    bool saveLiterals = true;  // second section "0" means literals are not part of the stored value
    QChar blank = u'_';        // third section

    [[nodiscard]] static EditMask parse(QStringView mask);
    [[nodiscard]] bool isEmpty() const { return picture.isEmpty(); }
};

// Lays a stored value out by the mask (the platform's FormatMaskText). Value characters fill the
// picture's positions in order; literals are inserted (a value that already holds a literal at its
// place just moves past it). Positions after the value runs out are left out, so a partly filled
// code reads back without trailing literals or blanks: "1.1.01" stays "1.1.01" under "9.9.99.999".
[[nodiscard]] CTB_PLATFORM_EXPORT QString formatMaskText(QStringView mask, QStringView value);

}  // namespace ctb
