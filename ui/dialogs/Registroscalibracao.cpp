#include "ui/dialogs/Registroscalibracao.h"

TFormRegistrosCalibracao* FormRegistrosCalibracao = nullptr;

TFormRegistrosCalibracao::TFormRegistrosCalibracao(QWidget* parent)
    : TDialogForm(parent)
{
    setupUi(this);
}
