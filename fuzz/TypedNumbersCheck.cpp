#include "fuzz/FuzzChecks.h"

#include "common/Geral.h"
#include "common/NumberText.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Locales with '.' or ',' separators, a blank group separator and non-ASCII digits.
const char* const LocaleNames[] = {"C", "en_US", "de_DE", "pt_BR", "fr_FR", "ar_EG", "fa_IR", "hi_IN"};
constexpr size_t LocaleCount = sizeof LocaleNames / sizeof LocaleNames[0];

QString TextFrom(uint8_t flags, const uint8_t* bytes, size_t length)
{
    if ((flags & 0x80) == 0)
        return QString::fromUtf8(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length));
    std::u16string units(length / 2, u'\0');
    std::memcpy(units.data(), bytes, units.size() * sizeof(char16_t));
    return QString::fromStdU16String(units);
}

// What a decimal integer of 32 bits looks like, written out without the code under test.
bool IsPlainInteger(const QString& text, long long& value)
{
    const bool negative = text.startsWith(u'-');
    qsizetype at = negative || text.startsWith(u'+') ? 1 : 0;
    if (at == text.size())
        return false;
    while (at + 1 < text.size() && text[at] == u'0')
        ++at;
    if (text.size() - at > 10)
        return false;
    long long magnitude = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < u'0' || text[at] > u'9')
            return false;
        magnitude = magnitude * 10 + (text[at].unicode() - u'0');
    }
    value = negative ? -magnitude : magnitude;
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

void CheckInteger(const QString& text)
{
    int value = 0;
    long long expected = 0;
    const bool ok = TextToInt(text, value);
    FUZZ_REQUIRE(ok == IsPlainInteger(text, expected));
    if (ok)
        FUZZ_REQUIRE(value == expected);
}

void CheckFloat(const QString& text)
{
    double value = 0;
    if (TextToFloat(text, value)) {
        FUZZ_REQUIRE(std::isfinite(value));
        FUZZ_REQUIRE(!text.contains(QLocale().groupSeparator()));
    }
    const QString normalized = NormalizeDecimalText(text);
    FUZZ_REQUIRE(normalized.size() == text.size());
    qsizetype changed = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        changed += normalized[i] != text[i] ? 1 : 0;
    FUZZ_REQUIRE(changed <= 1);
    TextToFloat(normalized, value);
}

// A number the program shows must read back as the number shown.
void CheckShownNumberReadsBack(const uint8_t* bytes, size_t length)
{
    if (length < sizeof(double))
        return;
    double shown = 0;
    std::memcpy(&shown, bytes, sizeof shown);
    if (!std::isfinite(shown) || std::fabs(shown) > 1e12)
        return;
    double back = 0;
    FUZZ_REQUIRE(TextToFloat(FormatFixed(shown, 4), back));
    FUZZ_REQUIRE(std::fabs(back - shown) <= 0.00005 + std::fabs(shown) * 1e-15);
    FUZZ_REQUIRE(TextToFloat(FormatGeneral(shown), back));
    FUZZ_REQUIRE(std::fabs(back - shown) <= std::fabs(shown) * 1e-14);
}

}  // namespace

void CheckTypedNumbers(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    QLocale::setDefault(QLocale(QLatin1String(LocaleNames[(data[0] & 0x7F) % LocaleCount])));
    const QString text = TextFrom(data[0], data + 1, size - 1);
    CheckInteger(text);
    CheckFloat(text);
    CheckShownNumberReadsBack(data + 1, size - 1);
}
