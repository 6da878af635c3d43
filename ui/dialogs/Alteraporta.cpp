#include "ui/dialogs/Alteraporta.h"

TFormAlteraPorta* FormAlteraPorta = nullptr;

TFormAlteraPorta::TFormAlteraPorta(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
