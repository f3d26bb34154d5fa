#pragma once

// Small utilities of the host library. Choices the screens leave open are fixed here:
// - EmptyString: a text with nothing but blanks and mask literals (". / - _ : , ( )") holds no value,
//   so an untouched masked box ("  /  /    ", "._.__") counts as empty.
// - Ajusta: a code of digits is right-aligned with leading zeros to the width ("1" -> "01"); an
//   empty code stays empty; a code longer than the width is returned unchanged (no digit is ever
//   dropped, so a wrong code is not silently turned into another one); a code with other characters
//   is returned trimmed and otherwise unchanged (codes with letters are not padded).
// - RoundDec: half away from zero on the decimal value the double stands for (its shortest
//   round-trip decimal text), so 1.005 -> 1.01 although the binary double is a little below 1.005.
// - PictPess: "F" (individual) "999.999.999-99;0;_", "J" (company) "99.999.999/9999-99;0;_"; any
//   other kind has no mask ("").

#include "hostlib/export.h"

#include <QString>

#include <optional>

namespace ctb::hostlib {

[[nodiscard]] CTB_HOSTLIB_EXPORT bool EmptyString(const QString& text);
[[nodiscard]] CTB_HOSTLIB_EXPORT QString Ajusta(const QString& code, int width);
[[nodiscard]] CTB_HOSTLIB_EXPORT double RoundDec(double value, int decimals);
[[nodiscard]] CTB_HOSTLIB_EXPORT QString Replicate(const QString& text, int count);  // "" for count <= 0
[[nodiscard]] CTB_HOSTLIB_EXPORT QString PictPess(const QString& kind);

// The account-code picture type used by the screens.
inline constexpr int ptContCtbl = 2;
// The default account-code picture of an installation.
inline constexpr const char* kDefaultAccountPicture = "9.9.99.999";

// The edit mask of a picture type for a session's account picture: "9.9.99.999" -> "9.9.99.999;1; ".
// Unknown picture types have no mask.
[[nodiscard]] CTB_HOSTLIB_EXPORT QString DBPictFor(const QString& accountPicture, int pictureType);

// Normalises an account code against the picture: groups separated by dots, each at most as wide
// as its picture group and left-padded with zeros ("1.1.1.1" -> "1.1.01.001"); leading groups only
// for synthetic accounts ("1.1"); trailing dots and blanks ignored; digits typed without dots are
// cut by the group widths ("1101001" -> "1.1.01.001"). Returns nullopt when the code does not fit.
[[nodiscard]] CTB_HOSTLIB_EXPORT std::optional<QString> normaliseAccount(const QString& code,
                                                                         const QString& accountPicture);

}  // namespace ctb::hostlib
