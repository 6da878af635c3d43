#include "ui/dialogs/Zerar.h"

TFormResetEnergy* FormResetEnergy = nullptr;

TFormResetEnergy::TFormResetEnergy(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
