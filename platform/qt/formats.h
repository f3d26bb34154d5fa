#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace ctb::qt {

// The product's display locale: Brazilian Portuguese ("1.234,56", dd/mm/yyyy).
[[nodiscard]] QLocale displayLocale();

// "1.234,56": grouped, two decimals, the locale's separators.
[[nodiscard]] QString formatMoney(double value, const QLocale& locale = displayLocale());
// Reads what a person types into a numeric edit: "1.234,56", "1234,5", "-10" (grouping optional).
[[nodiscard]] std::optional<double> parseMoney(const QString& text, const QLocale& locale = displayLocale());

// Converts an edit mask of the screens' notation ("!99/99/0000;1; ", "9999;0; ", "9.9.99.999") to a Qt
// input mask. The notations swap the roles of 0 and 9: here 0 is a required digit and 9 an optional one.
[[nodiscard]] QString qtInputMask(const QString& screenMask);

}  // namespace ctb::qt
