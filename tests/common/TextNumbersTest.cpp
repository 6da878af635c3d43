#include "common/NumberText.h"
#include "tests/common/LocaleGuard.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

QString WithNul()
{
    return QStringLiteral("12") + QChar(u'\0') + QStringLiteral("3");
}

struct IntCase { QString text; std::optional<int> value; };

TEST(TextToInt, SignAndDecimalDigitsOnly)
{
    const IntCase cases[] = {
        {"12", 12},
        {"-12", -12},
        {"+7", 7},
        {"-0", 0},
        {"000000000000000000000042", 42},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {QString(10000, QLatin1Char('9')), std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"+-1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"12a", std::nullopt},
        {"0x10", std::nullopt},
        {"$10", std::nullopt},
        {"1.0", std::nullopt},
        {"1e3", std::nullopt},
        {WithNul(), std::nullopt},
        {QString::fromUtf8("\u0661\u0662"), std::nullopt},   // Arabic-Indic digits
        {QString::fromUtf8("\uFF11\uFF12"), std::nullopt},   // full-width digits
        {QString::fromUtf8("\u00B2"), std::nullopt},         // superscript two
    };
    for (const auto& c : cases) {
        int value = -5;
        EXPECT_EQ(TextToInt(c.text, value), c.value.has_value()) << c.text.left(20).toStdString();
        if (c.value) {
            EXPECT_EQ(value, *c.value) << c.text.toStdString();
        }
    }
}

struct FloatCase { QString text; std::optional<double> withDot; std::optional<double> withComma; };

TEST(TextToFloat, LocaleSeparatorNoGroupingFiniteOnly)
{
    const FloatCase cases[] = {
        {"1.5", 1.5, std::nullopt},
        {"1,5", std::nullopt, 1.5},
        {"-2.25e3", -2250.0, std::nullopt},
        {"-2,25E3", std::nullopt, -2250.0},
        {"+1", 1.0, 1.0},
        {"1e-3", 0.001, 0.001},
        {"42", 42.0, 42.0},
        {" 1.5 ", 1.5, std::nullopt},   // surrounding blanks are forgiven, as typed numbers often carry them
        {".5", 0.5, std::nullopt},
        {"1.5e", std::nullopt, std::nullopt},
        {"1,000", std::nullopt, 1.0},
        {"1.000", 1.0, std::nullopt},
        {"1,000.5", std::nullopt, std::nullopt},
        {"1.000,5", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"   ", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"-inf", std::nullopt, std::nullopt},
        {"1e999", std::nullopt, std::nullopt},
        {"-1e999", std::nullopt, std::nullopt},
        {QString(10000, QLatin1Char('9')), std::nullopt, std::nullopt},
        {QString(10000, QLatin1Char('x')), std::nullopt, std::nullopt},
        {"12a", std::nullopt, std::nullopt},
        {"0x10", std::nullopt, std::nullopt},
        {"1.5.5", std::nullopt, std::nullopt},
        {"e5", std::nullopt, std::nullopt},
        {WithNul(), std::nullopt, std::nullopt},
        {QString::fromUtf8("\uFF11"), std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        for (const bool comma : {false, true}) {
            LocaleGuard guard(comma ? CommaLocale() : DotLocale());
            const std::optional<double>& expected = comma ? c.withComma : c.withDot;
            double value = -5;
            EXPECT_EQ(TextToFloat(c.text, value), expected.has_value()) << c.text.left(20).toStdString() << " comma " << comma;
            if (expected) {
                EXPECT_DOUBLE_EQ(value, *expected) << c.text.toStdString();
            }
        }
    }
}

TEST(TextToFloat, SmallestSingleStillParses)
{
    LocaleGuard guard(DotLocale());
    double value = 0;
    ASSERT_TRUE(TextToFloat(QStringLiteral("1.17549435e-38"), value));
    EXPECT_GT(value, 0.0);
}

TEST(ParseAddress, StatesTheFactsAndLeavesTheRulesToTheForms)
{
    using A = TypedAddress;
    struct Case { QString text; A::Kind kind; int value; bool inRange; };
    const Case cases[] = {
        {"", A::Empty, 0, false},
        {" ", A::NotInteger, 0, false},       // blanks are text, not an empty box
        {"12a", A::NotInteger, 0, false},
        {"0x10", A::NotInteger, 0, false},
        {"99999999999", A::NotInteger, 0, false},
        {"0", A::Integer, 0, false},
        {"1", A::Integer, 1, true},
        {"+255", A::Integer, 255, true},
        {"256", A::Integer, 256, false},
        {"-1", A::Integer, -1, false},
    };
    for (const Case& c : cases) {
        const A typed = ParseAddress(c.text);
        EXPECT_EQ(typed.kind, c.kind) << c.text.toStdString();
        EXPECT_EQ(typed.InRange(), c.inRange) << c.text.toStdString();
        if (c.kind == A::Integer) {
            EXPECT_EQ(typed.value, c.value) << c.text.toStdString();
        }
    }
}

}  // namespace
