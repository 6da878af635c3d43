// Enter moves the focus in the edits that have a key handler and presses nothing anywhere;
// Esc closes only the parameter dialog and the configuration view.

#include "SetupFixture.h"

#include "ui/dialogs/Alteradelta.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Qvtparametros.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/main/N2testeqvtmain.h"

#include <QPushButton>
#include <QTest>

namespace {

using KeysTest = SetupTest;

void ShowActive(QWidget* form)
{
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
}

TEST_F(KeysTest, EnterMovesToTheNextControlWithoutPressingIt)
{
    struct Case {
        QWidget* form;
        QLineEdit* edit;
        QWidget* next;   // where the focus ends up
    };
    const Case cases[] = {
        {FormAlteraEnd, FormAlteraEnd->EditNewEnd, FormAlteraEnd->Button1},
        {FormAlteraEnd, FormAlteraEnd->EditEndAtual, FormAlteraEnd->EditNewEnd},   // tab order wraps
        {FormSetParametros, FormSetParametros->EditTI, FormSetParametros->BitBtnAlterar},
        {FormAlteraNSerie, FormAlteraNSerie->EditNewNSerie, FormAlteraNSerie->Button1},
        {FormRegistrosCalibracao, FormRegistrosCalibracao->EditCalAtualI3, FormRegistrosCalibracao->ButtonAlterarCAL},
        {FormAlteraDelta, FormAlteraDelta->EditNewDelta, FormAlteraDelta->EditNewDelta},
    };
    FormMain->EditEnd->clear();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString());
        // Cases of one form share one showing.
        if (!c.form->isVisible())
            ShowActive(c.form);
        c.edit->setFocus();
        ui.clear();
        QTest::keyClick(c.edit, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == c.next; }, 1000))
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
        EXPECT_TRUE(ui.events.empty());   // no button ran
        EXPECT_TRUE(c.form->isVisible());
        if (&c == std::end(cases) - 1 || (&c + 1)->form != c.form)
            c.form->hide();
    }
}

TEST_F(KeysTest, EscClosesOnlyTheFormsWithACancelButton)
{
    const std::pair<QWidget*, bool> cases[] = {
        {FormSetParametros, true},         {FormConfiguracao, true}, {FormRegistrosCalibracao, false},
        {FormAlteraNSerie, false},         {FormAlteraDelta, false},
    };
    FormMain->EditEnd->setText("12a");   // the view reads nothing
    for (const auto& [form, closes] : cases) {
        SCOPED_TRACE(form->objectName().toStdString());
        ShowActive(form);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form, Qt::Key_Escape);
        EXPECT_EQ(form->isVisible(), !closes);
        form->hide();
    }
}

}  // namespace
