#pragma once
// The main window: the state of the run (port, address, serial number, parameters, status
// bar, activity lamp, stop flag) and the measurement polling loop.

#include <QMainWindow>
#include <QString>
#include <cstdint>

#include "ui_N2testeqvtmain.h"

class QLabel;

extern QString PortName;     // "COM1" from the main window's construction on
extern int StopFlag;         // 0 run, 1 stop requested, 2 close or cancel
extern uint8_t LampToggle;   // flips the lamp once per polling cycle, never reset

class TFormMain : public QMainWindow, public Ui::TFormMain {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);

    // The four status-bar panels, 0 to 3.
    QLabel* StatusPanel(int index) const;
    void SetStatusText(int index, const QString& text);
    QString StatusText(int index) const;

    void ReportCommError(int count, int code);

public slots:
    void ButtonReadClick();
    void ButtonStopClick();
    void ButtonCloseClick();
    void ButtonAlteraAddressClick();
    void ButtonFindAddressClick();
    void BitBtn1Click();
    void SetParameterClick();
    void ButtonResetCounterClick();
    void ButtonAboutClick();
    void ButtonConfigurationClick();
    void ButtonSetSerialNumberClick();
    void ButtonAltDeltaClick();
    void EditEndChange();
    void EditNSerieChange();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    QLabel* panels_[4] = {};
};

extern TFormMain* FormMain;
