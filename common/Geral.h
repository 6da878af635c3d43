#pragma once
// The meter's number formats, measurement text, and the shared communication-error box and
// pause. Typed-number conversion is in NumberText.h, the conversion-error boxes in
// ConversionError.h.

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
