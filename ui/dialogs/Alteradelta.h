#pragma once
// Delta setup: sends a new delta to N2 address 255 as a 16-bit value write to object 2.

#include "ui/FormSupport.h"
#include "ui_Alteradelta.h"

class TFormAlteraDelta : public TDialogForm, public Ui::TFormAlteraDelta {
    Q_OBJECT
public:
    explicit TFormAlteraDelta(QWidget* parent = nullptr);

public slots:
    void ButtonAlterarClick();
    void ButtonCancelClick();

private:
    void FormCreate();
    void FormShow() override;
};

extern TFormAlteraDelta* FormAlteraDelta;
