// Enter moves the focus in the edits that have a key handler, presses the focused button, and
// presses nothing else but the port dialog's named default; Esc closes only the parameter
// dialog and the configuration view.

#include "SetupFixture.h"

#include "ui/dialogs/Alteradelta.h"
#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Alteraporta.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Descobrirend.h"
#include "ui/dialogs/Qvtparametros.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/dialogs/Sobre.h"
#include "ui/dialogs/Zerar.h"
#include "ui/main/N2testeqvtmain.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <set>

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

std::string NameOf(const QObject* object)
{
    return object ? object->objectName().toStdString() : "nothing";
}

// Every control that can take the focus, in the form as it shows now (a radio button that is not
// checked takes it by the arrow keys or a click, not by Tab).
std::vector<QWidget*> FocusableControls(QWidget* form)
{
    std::vector<QWidget*> controls;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->isVisibleTo(form) && w->isEnabled() && w->focusPolicy() != Qt::NoFocus)
            controls.push_back(w);
    }
    return controls;
}

bool IsPushButton(const QWidget* w)
{
    return qobject_cast<const QPushButton*>(w) || qobject_cast<const QToolButton*>(w);
}

// Every control of every form: Enter on a button runs that button's handler and no other; in an
// edit with a key handler it moves the focus; anywhere else it runs nothing, except in the port
// dialog, where it presses the named default "&OK".
TEST_F(KeysTest, EnterOnEveryControlOfEveryForm)
{
    struct FormKeys {
        QWidget* form;
        std::set<QWidget*> movesFocus;   // edits with a key handler
        QAbstractButton* namedDefault;
    };
    const FormKeys forms[] = {
        {FormMain, {}, nullptr},
        {FormAlteraEnd, {FormAlteraEnd->EditEndAtual, FormAlteraEnd->EditNewEnd}, nullptr},
        {FormDescobrirEnd, {}, nullptr},
        {FormAlteraNSerie, {FormAlteraNSerie->EditNewNSerie}, nullptr},
        {FormAlteraDelta, {}, nullptr},
        {FormAlteraPorta, {}, FormAlteraPorta->BitBtnOK},
        {FormSobreBrelt, {}, FormSobreBrelt->BitBtn1},
        {FormResetEnergy, {}, nullptr},
        {FormSetParametros,
         {FormSetParametros->EditEnd, FormSetParametros->EditTP, FormSetParametros->EditTC, FormSetParametros->EditKE,
          FormSetParametros->EditTL, FormSetParametros->EditTI},
         nullptr},
        {FormConfiguracao, {}, nullptr},
        {FormRegistrosCalibracao,
         {FormRegistrosCalibracao->EditKU, FormRegistrosCalibracao->EditKI, FormRegistrosCalibracao->EditCalAtualU1,
          FormRegistrosCalibracao->EditCalAtualU2, FormRegistrosCalibracao->EditCalAtualU3,
          FormRegistrosCalibracao->EditCalAtualI1, FormRegistrosCalibracao->EditCalAtualI2,
          FormRegistrosCalibracao->EditCalAtualI3},
         nullptr},
    };
    // Whatever a handler starts, it ends at once: the meter answers in virtual time and every
    // dialog a handler opens is closed again.
    ScriptedMeter meter(QuietMeter(false));
    Connect(meter);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(0);

    for (const FormKeys& f : forms) {
        SCOPED_TRACE(NameOf(f.form));
        FormMain->EditEnd->clear();   // "&Read" then refuses instead of reading
        ShowActive(f.form);
        const std::vector<QWidget*> controls = FocusableControls(f.form);
        ASSERT_FALSE(controls.empty());
        std::vector<QAbstractButton*> pressed;
        std::vector<QMetaObject::Connection> spies;
        for (QAbstractButton* button : f.form->findChildren<QAbstractButton*>())
            spies.push_back(QObject::connect(button, &QAbstractButton::clicked, [&pressed, button] { pressed.push_back(button); }));

        for (QWidget* control : controls) {
            SCOPED_TRACE(NameOf(control));
            FormMain->EditEnd->clear();
            StopFlag = 0;
            if (!f.form->isVisible() || !f.form->isActiveWindow())
                ShowActive(f.form);
            control->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), control);
            pressed.clear();

            QTest::keyClick(control, Qt::Key_Return);

            const bool moves = f.movesFocus.count(control) != 0;
            QAbstractButton* expected = IsPushButton(control) ? static_cast<QAbstractButton*>(control)
                                        : moves                ? nullptr
                                                               : f.namedDefault;
            if (moves) {
                EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != control; }, 1000));
            } else {
                QCoreApplication::processEvents();
            }
            ASSERT_LE(pressed.size(), 1u);
            EXPECT_EQ(NameOf(pressed.empty() ? nullptr : pressed.front()), NameOf(expected));
            if (!expected && !moves) {
                EXPECT_EQ(QApplication::focusWidget(), control);
            }
        }
        for (const QMetaObject::Connection& spy : spies)
            QObject::disconnect(spy);
        f.form->hide();
    }
    FormMain->EditEnd->clear();
}

// A held Enter repeats its key press; the button it pressed must not send again.
TEST_F(KeysTest, HeldEnterPressesOnce)
{
    ShowActive(FormResetEnergy);
    QPushButton* reset = FormResetEnergy->Reset;
    reset->setFocus();
    int presses = 0;
    const auto spy = QObject::connect(reset, &QPushButton::clicked, [&presses] { ++presses; });
    for (const bool repeat : {false, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(reset, &press);
    }
    QObject::disconnect(spy);
    EXPECT_EQ(presses, 1);
    FormResetEnergy->hide();
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
