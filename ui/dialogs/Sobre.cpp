#include "ui/dialogs/Sobre.h"

TFormSobreBrelt* FormSobreBrelt = nullptr;

TFormSobreBrelt::TFormSobreBrelt(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
