#pragma once

#include "ui/FormSupport.h"
#include "ui_Alteradelta.h"

class TFormAlteraDelta : public TDialogForm, public Ui::TFormAlteraDelta {
    Q_OBJECT
public:
    explicit TFormAlteraDelta(QWidget* parent = nullptr);
};

extern TFormAlteraDelta* FormAlteraDelta;
