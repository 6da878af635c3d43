#pragma once

#include "ui/FormSupport.h"
#include "ui_Qvtparametros.h"

class TFormSetParametros : public TDialogForm, public Ui::TFormSetParametros {
    Q_OBJECT
public:
    explicit TFormSetParametros(QWidget* parent = nullptr);
};

extern TFormSetParametros* FormSetParametros;
