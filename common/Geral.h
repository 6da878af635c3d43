#pragma once
// The meter's number formats, measurement text, typed-number conversion and the shared
// communication-error box and pause.

#include <QString>
#include <cstdint>

// 16-bit sign-and-magnitude fixed point, 12 fraction bits (calibration values).
void FixedToFloat(const uint8_t* bytes, float& value);
void FloatToFixed(float value, uint8_t* bytes);
// Exponent-first float (KU, KI): pass b3 = 0 for the 3-byte form.
double BytesToFloat(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);
void FloatToBytes(float value, uint8_t* bytes);
// Replaces the first separator of the other convention by the locale's decimal separator.
QString NormalizeDecimalText(const QString& text);

// Scaled number text ("%-10.1f" / "%-10.3f", locale separator) and prefixed unit into unitText.
QString FormatMeasurement(float value, const QString& unit, QString& unitText);
// Beep, then a stop-icon box titled "Error"; -2 reads MESSAGE ERROR, every other code
// "Communication Error". Returns the box's result.
int ShowCommError(int code);
// Blocks the calling thread without processing events; zero or less returns at once.
void Pause(int milliseconds);

// "%.<decimals>f" with the locale's decimal separator and no group separators.
QString FormatFixed(double value, int decimals);
// "%.15g" with the locale's decimal separator (1.1f widened shows 1.10000002384186).
QString FormatGeneral(double value);

// Typed text to numbers. Integer: optional sign and decimal digits only, 32-bit range.
// Float: the locale's decimal separator, optional exponent, no group separators; false for
// text that is not a number and for results that are not finite.
bool TextToInt(const QString& text, int& value);
bool TextToFloat(const QString& text, double& value);

// The application's top-level box for a conversion without a handler of its own:
// stop icon, titled "QVT_N2", e.g. "'12a' is not a valid integer value" (very long text is cut).
void ShowIntegerConversionError(const QString& text);
void ShowFloatConversionError(const QString& text);
