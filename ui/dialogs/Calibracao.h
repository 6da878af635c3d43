#pragma once

#include "ui/FormSupport.h"
#include "ui_Calibracao.h"

class TFormConfiguracao : public TDialogForm, public Ui::TFormConfiguracao {
    Q_OBJECT
public:
    explicit TFormConfiguracao(QWidget* parent = nullptr);
};

extern TFormConfiguracao* FormConfiguracao;
