#include "ui/dialogs/Calibracao.h"

TFormConfiguracao* FormConfiguracao = nullptr;

TFormConfiguracao::TFormConfiguracao(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
