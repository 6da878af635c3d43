#include "ui/dialogs/Qvtparametros.h"

TFormSetParametros* FormSetParametros = nullptr;

TFormSetParametros::TFormSetParametros(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
