#pragma once

#include "ui/FormSupport.h"
#include "ui_Registroscalibracao.h"

class TFormRegistrosCalibracao : public TDialogForm, public Ui::TFormRegistrosCalibracao {
    Q_OBJECT
public:
    explicit TFormRegistrosCalibracao(QWidget* parent = nullptr);
};

extern TFormRegistrosCalibracao* FormRegistrosCalibracao;
