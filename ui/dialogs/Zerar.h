#pragma once

#include "ui/FormSupport.h"
#include "ui_Zerar.h"

class TFormResetEnergy : public TDialogForm, public Ui::TFormResetEnergy {
    Q_OBJECT
public:
    explicit TFormResetEnergy(QWidget* parent = nullptr);
};

extern TFormResetEnergy* FormResetEnergy;
