#include "ui/dialogs/Alteradelta.h"

TFormAlteraDelta* FormAlteraDelta = nullptr;

TFormAlteraDelta::TFormAlteraDelta(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
