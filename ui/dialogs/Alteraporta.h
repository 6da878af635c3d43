#pragma once
// Port selection: COM1 to COM4 for the rest of the run; the port is reopened on "&OK".

#include "ui/FormSupport.h"
#include "ui_Alteraporta.h"

class QButtonGroup;

class TFormAlteraPorta : public TDialogForm, public Ui::TFormAlteraPorta {
    Q_OBJECT
public:
    explicit TFormAlteraPorta(QWidget* parent = nullptr);

    // Index of the checked port, 0 to 3, or -1 when none is checked.
    int RadioGroupPortaSerialIndex() const;
    void SetRadioGroupPortaSerialIndex(int index);

public slots:
    void BitBtnOKClick();

private:
    void FormShow() override;

    QButtonGroup* portas_ = nullptr;
};

extern TFormAlteraPorta* FormAlteraPorta;
