#pragma once
// The application's top-level box for a conversion without a handler of its own:
// stop icon, titled "QVT_N2", e.g. "'12a' is not a valid integer value" (very long text is cut).

#include <QString>

void ShowIntegerConversionError(const QString& text);
void ShowFloatConversionError(const QString& text);
