#pragma once
// Parameter setup: checks TP, TC, KE, TL and TI, writes them to the meter as the 12-byte
// block of configuration bank 2 and keeps them only when the meter reads them back.

#include "ui/FormSupport.h"
#include "ui_Qvtparametros.h"

#include "common/ConfigBlocks.h"
#include "common/UiServices.h"

#include <cstdint>

class TFormSetParametros : public TDialogForm, public Ui::TFormSetParametros {
    Q_OBJECT
public:
    explicit TFormSetParametros(QWidget* parent = nullptr);

public slots:
    void BitBtnAlterarClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Values {
        int address;
        ParameterBlock parameters;
    };

    void FormShow() override;
    bool EditEndKeyPress(QEvent* event);
    bool ReadValues(Values& values);
    bool ReadAddress(int& address);
    bool ReadRatio(QLineEdit* edit, const QString& name, float& value);
    bool ReadWhole(QLineEdit* edit, const QString& name, int maximum, int& value);
    bool ReadSerialNumber(int address, CursorState remembered, int32_t& serialNumber);
    bool WriteBlock(int32_t serialNumber, const ParameterBlock& parameters, CursorState remembered);
};

extern TFormSetParametros* FormSetParametros;
