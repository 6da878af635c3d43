#pragma once
// The main window: the state of the run (port, address, serial number, parameters, status
// bar, activity lamp, stop flag) and the measurement polling loop.

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <set>
#include <vector>

#include "ui_N2testeqvtmain.h"

class QLabel;
struct MeterPoint;
struct ParameterBlock;

extern QString PortName;     // "COM1" from the main window's construction on
extern int StopFlag;         // 0 run, 1 stop requested, 2 close or cancel
extern uint8_t LampToggle;   // flips the lamp once per polling cycle, never reset

class TFormMain : public QMainWindow, public Ui::TFormMain {
    Q_OBJECT
public:
    explicit TFormMain(const QString& startPort = QStringLiteral("COM1"), QWidget* parent = nullptr);
    ~TFormMain() override;

    // The four status-bar panels, 0 to 3.
    QLabel* StatusPanel(int index) const;
    void SetStatusText(int index, const QString& text);
    QString StatusText(int index) const;

    // The window's fields, each written through one of these in its one format.
    void ShowAddress(int address);
    void ShowSerialNumber(int32_t serialNumber);
    // Panel 0: " Port : " and the port's name, with the reason while it is not open.
    void ShowPortState();
    void ShowMeterStatus(int code);               // panel 2: the meter's own code, "%02d"
    void ReportCommError(int count, int code);    // panels 2 and 3: a link result, plain decimal
    void ShowParameters(const ParameterBlock& parameters);
    void ShowMeasurement(const MeterPoint& point, float value);
    void ShowStarts(int starts);
    // True once the polling loop has shown a reading.
    bool ReadingShown() const;

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

signals:
    // The window really closed (not a close deferred until a running reading ends).
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void CreateStatusPanels();
    void ConnectHandlers();
    // False after the empty-address box, titled as the pressed button's check requires.
    bool AddressTyped(const QString& title);
    bool CheckAddress();
    void SetReading(bool reading);
    void RunPolling();
    // A field a polling cycle writes: its text in the normal look, counted as refreshed.
    void Refresh(QWidget* field);
    void Refresh(QLineEdit* field, const QString& text);
    std::vector<QWidget*> CycleFields() const;
    // What the latest cycle did not write again keeps its text but no longer looks live.
    void ShowOldFields();
    std::set<QWidget*> refreshed_;   // since the cycle in progress began
    QLabel* panels_[4] = {};
    bool reading_ = false;        // the polling loop is on the stack
    bool closePending_ = false;   // a close arrived while it was
};

extern TFormMain* FormMain;
