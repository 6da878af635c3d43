#pragma once
// Serial number setup: writes a new serial number with a config frame and keeps it only
// when the meter reads it back.

#include "ui/FormSupport.h"
#include "ui_Alteranserie.h"

class TFormAlteraNSerie : public TDialogForm, public Ui::TFormAlteraNSerie {
    Q_OBJECT
public:
    explicit TFormAlteraNSerie(QWidget* parent = nullptr);

public slots:
    void Button1Click();
    void Button2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow() override;
    bool EditNewNSerieKeyPress(QEvent* event);
};

// The refusal shown when the meter did not take a write that needs its Jumper CONFIG
// (beep, exclamation box titled "Warning"); the calibration dialog shows it too.
void ShowJumperConfigWarning();

extern TFormAlteraNSerie* FormAlteraNSerie;
