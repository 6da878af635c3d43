#pragma once
// Calibration registers setup: encodes KU, KI and the six per-phase calibration values into
// the 18-byte block of configuration bank 1 and keeps them only when the meter reads them back.

#include "ui/FormSupport.h"
#include "ui_Registroscalibracao.h"

#include <cstdint>

// The calibration block of configuration bank 1, always read and written whole.
constexpr uint8_t CalibrationBank = 1;
constexpr int CalibrationBlockSize = 18;

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
    // KU, KI, CAL_U1, CAL_U2, CAL_U3, CAL_I1, CAL_I2, CAL_I3: the order of the edits and checks.
    static constexpr int ValueCount = 8;
    enum class WriteOutcome { Written, SendFailed, NotConfirmed };

    QLineEdit* ValueEdit(int index) const;
    QLineEdit* ViewEdit(int index) const;
    void FormShow() override;
    bool EditKUKeyPress(QEvent* event);
    bool ReadValues(float* values);
    bool ReadValue(int index, float& value);
    WriteOutcome WriteBlock(int32_t serialNumber, const float* values);
    void ShowInView(const float* values);
};

extern TFormRegistrosCalibracao* FormRegistrosCalibracao;
