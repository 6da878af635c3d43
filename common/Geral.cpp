#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"

#include <QLocale>
#include <QThread>
#include <bit>
#include <cmath>

namespace {

QString LocaleSeparator()
{
    return QLocale().decimalPoint();
}

// Bits 0 to 15 of the truncated magnitude; larger magnitudes wrap as the stored format
// has no room for them. Non-finite values have no defined magnitude and encode as 0.
uint32_t LowSixteenBits(float magnitude)
{
    if (!std::isfinite(magnitude))
        return 0;
    return static_cast<uint32_t>(std::fmod(std::trunc(double(magnitude)), 65536.0));
}

void WriteExponentFirst(uint8_t exponent, bool negative, uint32_t fraction23, uint8_t* bytes)
{
    bytes[0] = exponent;
    bytes[1] = uint8_t((negative ? 0x80 : 0x00) | ((fraction23 >> 16) & 0x7F));
    bytes[2] = uint8_t((fraction23 >> 8) & 0xFF);
    bytes[3] = uint8_t(fraction23 & 0xFF);
}

// Infinity and NaN are given their IEEE pattern, which this format mirrors.
void WriteNonFinite(float value, uint8_t* bytes)
{
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    WriteExponentFirst(uint8_t((bits >> 23) & 0xFF), (bits >> 31) != 0, bits & 0x7FFFFF, bytes);
}

struct Band {
    double limit;     // magnitudes below this belong to the band
    double factor;
    int decimals;
    const char* prefix;
};

constexpr Band Bands[] = {
    {1.0, 1000.0, 1, "m"},
    {1000.0, 1.0, 3, ""},
    {1000000.0, 0.001, 3, "K"},
    {1000000000.0, 0.000001, 3, "M"},
};
constexpr Band GigaBand{0.0, 0.000000001, 3, "G"};

const Band& BandFor(float value)
{
    for (const Band& band : Bands) {
        if (value >= 0 ? value < band.limit : value > -band.limit)
            return band;
    }
    return GigaBand;
}

}  // namespace

void FixedToFloat(const uint8_t* bytes, float& value)
{
    const bool negative = (bytes[1] & 0x80) != 0;
    const int magnitude = bytes[0] + 256 * (bytes[1] & 0x7F);
    value = static_cast<float>(magnitude * 0.000244140625);
    if (negative)
        value = -value;
}

void FloatToFixed(float value, uint8_t* bytes)
{
    float product = value * 4096.0f;
    const bool negative = product < 0;
    if (negative)
        product = -product;
    const uint32_t magnitude = LowSixteenBits(product);
    bytes[0] = uint8_t(magnitude & 0xFF);
    bytes[1] = uint8_t(((magnitude >> 8) & 0xFF) | (negative ? 0x80 : 0x00));
}

double BytesToFloat(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3)
{
    const uint32_t fraction = (uint32_t(b1 & 0x7F) << 16) | (uint32_t(b2) << 8) | b3;
    const double mantissa = 1.0 + std::ldexp(double(fraction), -23);
    const double value = std::ldexp(mantissa, int(b0) - 127);
    return (b1 & 0x80) ? -value : value;
}

void FloatToBytes(float value, uint8_t* bytes)
{
    if (value == 0) {
        WriteExponentFirst(0, false, 0, bytes);
        return;
    }
    if (!std::isfinite(value)) {
        WriteNonFinite(value, bytes);
        return;
    }
    int n = 0;
    const double m = std::frexp(std::fabs(double(value)), &n);   // 0.5 <= m < 1
    // All 24 bits of a single fit exactly, so truncating to 24 bits drops nothing it had.
    const uint32_t bits24 = static_cast<uint32_t>(std::ldexp(m, 24));
    const int exponent = ((n + 126) % 256 + 256) % 256;
    WriteExponentFirst(uint8_t(exponent), value < 0, bits24 & 0x7FFFFF, bytes);
}

QString NormalizeDecimalText(const QString& text)
{
    const QString separator = LocaleSeparator();
    const QChar foreign = separator == QLatin1String(".") ? QLatin1Char(',') : QLatin1Char('.');
    const qsizetype at = text.indexOf(foreign);
    if (at < 0)
        return text;
    QString result = text;
    result.replace(at, 1, separator);
    return result;
}

QString FormatMeasurement(float value, const QString& unit, QString& unitText)
{
    const Band& band = BandFor(value);
    const float scaled = static_cast<float>(double(value) * band.factor);
    unitText = QLatin1String(band.prefix) + unit;
    return FormatFixed(scaled, band.decimals).leftJustified(10, QLatin1Char(' '));
}

int ShowCommError(int code)
{
    const QString text = code == -2 ? QStringLiteral("Code %1: MESSAGE ERROR").arg(code)
                                    : QStringLiteral("Code %1: \"Communication Error\"").arg(code);
    Beep();
    return ShowMessageBox(text, QStringLiteral("Error"), BoxIcon::Critical);
}

void Pause(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}
