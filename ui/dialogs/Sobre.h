#pragma once
// The About box: the maker's logo and addresses, the program's name and version.

#include "ui/FormSupport.h"
#include "ui_Sobre.h"

class TFormSobreBrelt : public TDialogForm, public Ui::TFormSobreBrelt {
    Q_OBJECT
public:
    explicit TFormSobreBrelt(QWidget* parent = nullptr);

private:
    void FormShow() override;
};

extern TFormSobreBrelt* FormSobreBrelt;
