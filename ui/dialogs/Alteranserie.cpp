#include "ui/dialogs/Alteranserie.h"

TFormAlteraNSerie* FormAlteraNSerie = nullptr;

TFormAlteraNSerie::TFormAlteraNSerie(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
