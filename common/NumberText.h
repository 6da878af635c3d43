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
