#include "common/NumberText.h"

#include <QLocale>
#include <cmath>
#include <cstdint>

namespace {

// printf output always carries '.'; the user sees the locale's separator instead.
QString WithLocaleSeparator(QString text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text.replace(dot, 1, QString(QLocale().decimalPoint()));
    return text;
}

}  // namespace

QString FormatFixed(double value, int decimals)
{
    return WithLocaleSeparator(QString::asprintf("%.*f", decimals < 0 ? 0 : decimals, value));
}

QString FormatGeneral(double value)
{
    return WithLocaleSeparator(QString::asprintf("%.15g", value));
}

bool TextToInt(const QString& text, int& value)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    qsizetype at = negative || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (at == text.size())
        return false;
    const int64_t limit = negative ? int64_t(1) << 31 : (int64_t(1) << 31) - 1;
    int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit)
            return false;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

bool TextToFloat(const QString& text, double& value)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double result = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(result))
        return false;
    value = result;
    return true;
}


TypedAddress ParseAddress(const QString& text)
{
    TypedAddress typed;
    if (text.isEmpty())
        typed.kind = TypedAddress::Empty;
    else if (TextToInt(text, typed.value))
        typed.kind = TypedAddress::Integer;
    else
        typed.kind = TypedAddress::NotInteger;
    return typed;
}
