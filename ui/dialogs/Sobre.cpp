#include "ui/dialogs/Sobre.h"

#include "ui/main/Version.h"

#include <QStyle>

// The forms live in a static library, whose resource object the linker would otherwise drop.
static void LoadAboutResources()
{
    Q_INIT_RESOURCE(about);
}

TFormSobreBrelt* FormSobreBrelt = nullptr;

TFormSobreBrelt::TFormSobreBrelt(QWidget* parent)
    : TDialogForm(parent)
{
    LoadAboutResources();
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowContextHelpButtonHint);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    EnterPressesFocusedButton(this);
    // An OK-kind button is the box's default: Enter closes the About box.
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    CentreOnScreen(this);
}

void TFormSobreBrelt::FormShow()
{
    ImageBrelt->setVisible(true);
    LabelVersao->setText(QString::asprintf("Version %s", ProgramVersion));
}
