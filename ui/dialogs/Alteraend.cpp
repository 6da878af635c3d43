#include "ui/dialogs/Alteraend.h"

TFormAlteraEnd* FormAlteraEnd = nullptr;

TFormAlteraEnd::TFormAlteraEnd(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
