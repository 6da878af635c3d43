#include "common/ConversionError.h"
#include "common/UiServices.h"

namespace {

const QString ConversionErrorTitle = QStringLiteral("QVT_N2");
constexpr qsizetype ShownTextLimit = 64;

// A pasted novel must not make a box wider than the screen.
QString ShownText(const QString& text)
{
    if (text.size() <= ShownTextLimit)
        return text;
    return text.left(ShownTextLimit) + QStringLiteral("...");
}

void ShowConversionError(const QString& text, const char* kind)
{
    ShowMessageBox(QStringLiteral("'%1' is not a valid %2 value").arg(ShownText(text), QLatin1String(kind)),
                   ConversionErrorTitle, BoxIcon::Critical);
}

}  // namespace

void ShowIntegerConversionError(const QString& text)
{
    ShowConversionError(text, "integer");
}

void ShowFloatConversionError(const QString& text)
{
    ShowConversionError(text, "floating point");
}
