#pragma once
// Address change: proves a meter answers at its current address, learns its serial number and
// stores the new address in it, then checks that it answers there before telling anyone.

#include <cstdint>

#include "ui/FormSupport.h"
#include "ui_Alteraend.h"

class TFormAlteraEnd : public TDialogForm, public Ui::TFormAlteraEnd {
    Q_OBJECT
public:
    explicit TFormAlteraEnd(QWidget* parent = nullptr);

public slots:
    void Button1Click();
    void Button2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow() override;
    bool EditEndAtualKeyPress(QEvent* event);
    bool ReadAddresses(int& current, int& newAddress);
    bool ReadSerialNumber(int current, int32_t& serialNumber);
    void ShowChanged(int newAddress, int32_t serialNumber);
};

extern TFormAlteraEnd* FormAlteraEnd;
