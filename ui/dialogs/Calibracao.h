#pragma once
// Configuration view: one meter's address, serial number and calibration registers, and the
// live per-phase readings the polling loop writes into it. Modeless and always on top.

#include "ui/FormSupport.h"
#include "ui_Calibracao.h"

#include <cstdint>

struct CalibrationBlock;
enum class Phase;
enum class Quantity;

class TFormConfiguracao : public TDialogForm, public Ui::TFormConfiguracao {
    Q_OBJECT
public:
    explicit TFormConfiguracao(QWidget* parent = nullptr);

    // The view's fields, each written through one of these.
    void ShowAddress(int address);
    void ShowSerialNumber(int32_t serialNumber);
    void ShowCalibration(const CalibrationBlock& calibration);
    // The polling loop's text of a measurement the view also shows; others are ignored.
    void ShowMeasured(Quantity quantity, Phase phase, const QString& text);
    // The view's edit of each calibration value, in the block's value order.
    QLineEdit* CalibrationEdit(int which) const;

public slots:
    void BitBtn3Click();
    void ButtonAlterarCALClick();
    void ButtonSetNSerieClick();
    void Button1Click();

private:
    void FormShow() override;
    bool ReadIdentity(int address, int32_t& serialNumber);
    bool ReadCalibration(int32_t serialNumber);
    void ClearCalibration();
};

extern TFormConfiguracao* FormConfiguracao;
