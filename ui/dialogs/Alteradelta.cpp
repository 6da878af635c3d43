#include "ui/dialogs/Alteradelta.h"

#include "common/ConversionError.h"
#include "common/Geral.h"
#include "common/NumberText.h"
#include "common/UiServices.h"
#include "link/MeterSteps.h"
#include "link/Wn2.h"

#include <array>

TFormAlteraDelta* FormAlteraDelta = nullptr;

namespace {

constexpr int DeltaAddress = 255;
constexpr int DeltaObject = 2;

void ShowPlainBox(const QString& text)
{
    ShowMessageBox(text, QString(), BoxIcon::NoIcon);
}

}  // namespace

TFormAlteraDelta::TFormAlteraDelta(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    // The delta edit has no key handler: Enter there must press nothing.
    EnterPressesFocusedButton(this);
    connect(ButtonAlterar, &QPushButton::clicked, this, &TFormAlteraDelta::ButtonAlterarClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormAlteraDelta::ButtonCancelClick);
    FormCreate();
}

void TFormAlteraDelta::FormCreate()
{
    CentreOnScreen(this);
}

void TFormAlteraDelta::FormShow()
{
    EditNewDelta->setFocus();
}

void TFormAlteraDelta::ButtonAlterarClick()
{
    const QString text = EditNewDelta->text();
    if (text.isEmpty()) {
        ShowPlainBox("Informe o Novo Delta do dispositivo");
        EditNewDelta->setFocus();
        return;
    }
    int delta = 0;
    if (!TextToInt(text, delta)) {
        ShowIntegerConversionError(text);
        return;
    }
    if (!Identify(DeltaAddress).confirmed())
        Beep();
    Pause(50);
    std::array<uint8_t, N2WriteReplyLength> reply{};
    // Only the low 16 bits travel: -1 goes out as 65535, 70000 as 4464.
    if (N2WriteValue(DeltaAddress, DeltaObject, static_cast<uint16_t>(delta), reply) <= 0) {
        Beep();
        ShowPlainBox("Erro de comunicação !");
        return;
    }
    ShowPlainBox("Comando enviado para o dispositivo !");
}

void TFormAlteraDelta::ButtonCancelClick()
{
    reject();
}
