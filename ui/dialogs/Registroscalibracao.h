#pragma once
// Calibration registers setup: encodes KU, KI and the six per-phase calibration values into
// the 18-byte block of configuration bank 1 and keeps them only when the meter reads them back.

#include "ui/FormSupport.h"
#include "ui_Registroscalibracao.h"

#include "common/ConfigBlocks.h"

#include <cstdint>

class TFormRegistrosCalibracao : public TDialogForm, public Ui::TFormRegistrosCalibracao {
    Q_OBJECT
public:
    explicit TFormRegistrosCalibracao(QWidget* parent = nullptr);

public slots:
    void ButtonAlterarCALClick();
    void ButtonFecharClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* ValueEdit(int which) const;
    void FormShow() override;
    bool EditKUKeyPress(QEvent* event);
    bool ReadValues(CalibrationBlock& calibration);
    bool ReadValue(CalibrationBlock::Value which, float& value);
};

extern TFormRegistrosCalibracao* FormRegistrosCalibracao;
