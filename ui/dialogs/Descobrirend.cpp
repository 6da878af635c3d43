#include "ui/dialogs/Descobrirend.h"

TFormDescobrirEnd* FormDescobrirEnd = nullptr;

TFormDescobrirEnd::TFormDescobrirEnd(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
