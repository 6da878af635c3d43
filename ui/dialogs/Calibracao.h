#pragma once
// Configuration view: one meter's address, serial number and calibration registers, and the
// live per-phase readings the polling loop writes into it. Modeless and always on top.

#include "ui/FormSupport.h"
#include "ui_Calibracao.h"

#include <cstdint>
#include <optional>

struct CalibrationBlock;
enum class Phase;
enum class Quantity;

class TFormConfiguracao : public TDialogForm, public Ui::TFormConfiguracao {
    Q_OBJECT
public:
    explicit TFormConfiguracao(QWidget* parent = nullptr);

    // The view's fields, each written through one of these.
    void ShowAddress(int address);
    // The serial number this view read from the meter, or that the serial-number dialog
    // confirmed; the calibration dialog writes to no other.
    void ShowSerialNumber(int32_t serialNumber);
    bool SerialNumberRead(int32_t& serialNumber) const;
    void ShowCalibration(const CalibrationBlock& calibration);
    // The view's edit of each calibration value, in the block's value order.
    QLineEdit* CalibrationEdit(int which) const;
    // The view's copy of a measurement the polling loop shows, or nullptr.
    QLineEdit* MeasuredEdit(Quantity quantity, Phase phase) const;

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
    void ClearSerialNumber();

    std::optional<int32_t> serialNumber_;
};

extern TFormConfiguracao* FormConfiguracao;
