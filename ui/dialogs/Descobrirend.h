#pragma once
// Address discovery: tries every address in turn until the one meter on the line answers.
// The scan runs inside "&Find" and lets the window system run between two addresses.

#include "ui/FormSupport.h"
#include "ui_Descobrirend.h"

class QButtonGroup;

class TFormDescobrirEnd : public TDialogForm, public Ui::TFormDescobrirEnd {
    Q_OBJECT
public:
    explicit TFormDescobrirEnd(QWidget* parent = nullptr);

    // Index of the checked order: 0 increasing, 1 decreasing.
    int RadioGroupOrdemIndex() const;
    void SetRadioGroupOrdemIndex(int index);

public slots:
    void ButtonDescobrirClick();
    void ButtonCancelClick();

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow() override;
    void FormClose();
    void ButtonCancelMouseMove();
    bool BeforeAddress(int address);
    void EndScan();

    QButtonGroup* ordem_ = nullptr;
    bool scanning_ = false;
};

extern TFormDescobrirEnd* FormDescobrirEnd;
