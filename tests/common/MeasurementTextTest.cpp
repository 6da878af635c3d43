#include "common/Geral.h"
#include "common/NumberText.h"
#include "tests/common/LocaleGuard.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct MeasurementCase {
    float value;
    const char* unit;
    const char* withDot;    // before the padding blanks
    const char* withComma;
    int blanks;
    const char* unitText;
};

const MeasurementCase Measurements[] = {
    {0.0f, "V", "0.0", "0,0", 7, "mV"},
    {0.5f, "A", "500.0", "500,0", 5, "mA"},
    {-0.25f, "A", "-250.0", "-250,0", 4, "mA"},
    {1.0f, "V", "1.000", "1,000", 5, "V"},
    {219.4f, "V", "219.400", "219,400", 3, "V"},
    {1234.5f, "W", "1.235", "1,235", 5, "KW"},
    {-1500.0f, "VAr", "-1.500", "-1,500", 4, "KVAr"},
    {2500000.0f, "VA", "2.500", "2,500", 5, "MVA"},
    {60.0f, "Hz", "60.000", "60,000", 4, "Hz"},
    {999.9996f, "V", "1000.000", "1000,000", 2, "V"},
    {1000.0f, "W", "1.000", "1,000", 5, "KW"},
    {-1000.0f, "W", "-1.000", "-1,000", 4, "KW"},
    {-1.0f, "V", "-1.000", "-1,000", 4, "V"},
    {-0.999f, "V", "-999.0", "-999,0", 4, "mV"},
    {0.0123f, "A", "12.3", "12,3", 6, "mA"},
    {999999.0f, "W", "999.999", "999,999", 3, "KW"},
    {1000000.0f, "W", "1.000", "1,000", 5, "MW"},
    {-999999.0f, "VA", "-999.999", "-999,999", 2, "KVA"},
    {1000000000.0f, "W", "1.000", "1,000", 5, "GW"},
    {-1000000000.0f, "W", "-1.000", "-1,000", 4, "GW"},
    {1234567e6f, "W", "1234.567", "1234,567", 2, "GW"},   // no group separators
    {3e15f, "VA", "3000000.000", "3000000,000", 0, "GVA"},   // longer than 10: not cut
};

void ExpectMeasurements(bool comma)
{
    for (const auto& c : Measurements) {
        QString unitText = QStringLiteral("junk");
        const QString text = FormatMeasurement(c.value, QString::fromLatin1(c.unit), unitText);
        const QString expected = QString::fromLatin1(comma ? c.withComma : c.withDot) + QString(c.blanks, QLatin1Char(' '));
        EXPECT_EQ(text, expected) << c.value;
        EXPECT_EQ(unitText, QString::fromLatin1(c.unitText)) << c.value;
    }
}

TEST(FormatMeasurement, WithFullStop)
{
    LocaleGuard guard(DotLocale());
    ExpectMeasurements(false);
}

TEST(FormatMeasurement, WithComma)
{
    LocaleGuard guard(CommaLocale());
    ExpectMeasurements(true);
}

TEST(FormatMeasurement, NonFiniteReadingsGiveTextNotAFault)
{
    LocaleGuard guard(DotLocale());
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max()};
    for (float v : values) {
        QString unitText;
        EXPECT_GE(FormatMeasurement(v, QStringLiteral("V"), unitText).size(), 10) << v;
        EXPECT_EQ(unitText, QStringLiteral("GV")) << v;
    }
}

struct FixedCase { double value; int decimals; const char* withDot; const char* withComma; };

TEST(FormatFixed, LocaleSeparatorWithoutGrouping)
{
    const FixedCase cases[] = {
        {1234567.891, 3, "1234567.891", "1234567,891"},
        {-0.5, 1, "-0.5", "-0,5"},
        {0.0, 2, "0.00", "0,00"},
        {42.0, 0, "42", "42"},
        {1.5, -3, "2", "2"},   // a negative count means none
    };
    for (const auto& c : cases) {
        {
            LocaleGuard guard(DotLocale());
            EXPECT_EQ(FormatFixed(c.value, c.decimals), QString::fromLatin1(c.withDot));
        }
        {
            LocaleGuard guard(CommaLocale());
            EXPECT_EQ(FormatFixed(c.value, c.decimals), QString::fromLatin1(c.withComma));
        }
    }
}

struct GeneralCase { double value; const char* withDot; const char* withComma; };

TEST(FormatGeneral, FifteenSignificantDigits)
{
    const GeneralCase cases[] = {
        {double(1.1f), "1.10000002384186", "1,10000002384186"},
        {1.5, "1.5", "1,5"},
        {0.0, "0", "0"},
        {-0.5, "-0.5", "-0,5"},
        {1234567.0, "1234567", "1234567"},
        {1e20, "1e+20", "1e+20"},
        {-1.5e-7, "-1.5e-07", "-1,5e-07"},
        {123456789012345678.0, "1.23456789012346e+17", "1,23456789012346e+17"},
        {double(0.98765f), "0.987649977207184", "0,987649977207184"},
    };
    for (const auto& c : cases) {
        {
            LocaleGuard guard(DotLocale());
            EXPECT_EQ(FormatGeneral(c.value), QString::fromLatin1(c.withDot));
        }
        {
            LocaleGuard guard(CommaLocale());
            EXPECT_EQ(FormatGeneral(c.value), QString::fromLatin1(c.withComma));
        }
    }
}

}  // namespace
