#pragma once
// Numbers as the technician types them and as the forms show them: the locale's decimal
// separator both ways, never a group separator.

#include <QString>

// "%.<decimals>f" with the locale's decimal separator and no group separators.
QString FormatFixed(double value, int decimals);
// "%.15g" with the locale's decimal separator (1.1f widened shows 1.10000002384186).
QString FormatGeneral(double value);

// Typed text to numbers. Integer: optional sign and decimal digits only, 32-bit range.
// Float: the locale's decimal separator, optional exponent, no group separators; false for
// text that is not a number and for results that are not finite.
bool TextToInt(const QString& text, int& value);
bool TextToFloat(const QString& text, double& value);

// The addresses of the N2 line.
constexpr int FirstAddress = 1;
constexpr int LastAddress = 255;

// A device address as typed, before any form's rules: each form refuses these facts in its own
// order, with its own words and box.
struct TypedAddress {
    enum Kind { Empty, NotInteger, Integer };
    Kind kind = Empty;
    int value = 0;   // the number, when kind is Integer

    bool InRange() const { return kind == Integer && value >= FirstAddress && value <= LastAddress; }
};
TypedAddress ParseAddress(const QString& text);
