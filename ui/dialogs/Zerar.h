#pragma once
// Energy register reset: one write command per ticked register, in a fixed order, after the
// meter has answered at the main window's address.

#include "ui/FormSupport.h"
#include "ui_Zerar.h"

class TFormResetEnergy : public TDialogForm, public Ui::TFormResetEnergy {
    Q_OBJECT
public:
    explicit TFormResetEnergy(QWidget* parent = nullptr);

public slots:
    void ResetClick();
    void ButtonCloseClick();

private:
    void FormShow() override;
    bool AnyTicked() const;
    bool ReadAddress(int& address);
    void RefuseAddress(const QString& text);
    bool SendResets(int address);
};

extern TFormResetEnergy* FormResetEnergy;
