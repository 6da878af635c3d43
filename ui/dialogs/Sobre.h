#pragma once

#include "ui/FormSupport.h"
#include "ui_Sobre.h"

class TFormSobreBrelt : public TDialogForm, public Ui::TFormSobreBrelt {
    Q_OBJECT
public:
    explicit TFormSobreBrelt(QWidget* parent = nullptr);
};

extern TFormSobreBrelt* FormSobreBrelt;
