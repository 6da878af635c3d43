#pragma once

#include "ui/FormSupport.h"
#include "ui_Alteraend.h"

class TFormAlteraEnd : public TDialogForm, public Ui::TFormAlteraEnd {
    Q_OBJECT
public:
    explicit TFormAlteraEnd(QWidget* parent = nullptr);
};

extern TFormAlteraEnd* FormAlteraEnd;
