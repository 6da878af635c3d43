#pragma once

#include "ui/FormSupport.h"
#include "ui_Descobrirend.h"

class TFormDescobrirEnd : public TDialogForm, public Ui::TFormDescobrirEnd {
    Q_OBJECT
public:
    explicit TFormDescobrirEnd(QWidget* parent = nullptr);
};

extern TFormDescobrirEnd* FormDescobrirEnd;
