#pragma once

#include "ui/FormSupport.h"
#include "ui_Alteraporta.h"

class TFormAlteraPorta : public TDialogForm, public Ui::TFormAlteraPorta {
    Q_OBJECT
public:
    explicit TFormAlteraPorta(QWidget* parent = nullptr);
};

extern TFormAlteraPorta* FormAlteraPorta;
