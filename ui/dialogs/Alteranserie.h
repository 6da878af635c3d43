#pragma once

#include "ui/FormSupport.h"
#include "ui_Alteranserie.h"

class TFormAlteraNSerie : public TDialogForm, public Ui::TFormAlteraNSerie {
    Q_OBJECT
public:
    explicit TFormAlteraNSerie(QWidget* parent = nullptr);
};

extern TFormAlteraNSerie* FormAlteraNSerie;
