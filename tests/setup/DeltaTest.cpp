// The delta dialog sends the low 16 bits of the typed delta to address 255.

#include "SetupFixture.h"

#include "ui/dialogs/Alteradelta.h"

namespace {

using DeltaTest = SetupTest;

TEST_F(DeltaTest, SendsTheDeltaModulo65536)
{
    const std::pair<QString, uint16_t> cases[] = {{"70000", 4464}, {"-1", 65535}, {"300", 300}};
    sim::MeterSettings settings = QuietMeter(true);
    settings.address = 255;
    sim::PtyMeter meter(settings);
    Connect(meter);
    for (const auto& [typed, sent] : cases) {
        SCOPED_TRACE(typed.toStdString());
        ui.clear();
        FormAlteraDelta->EditNewDelta->setText(typed);
        FormAlteraDelta->ButtonAlterarClick();
        EXPECT_EQ(meter.state().delta, sent);
        ExpectLastBox("Comando enviado para o dispositivo !", "QVT_N2", BoxIcon::NoIcon);
        EXPECT_EQ(ui.beeps(), 0);
    }
}

TEST_F(DeltaTest, NoMeterGivesTwoBeepsAndTheErrorBox)
{
    ScriptedMeter meter(QuietMeter(true));   // at address 1: nothing answers 255
    Connect(meter);
    FormAlteraDelta->EditNewDelta->setText("5");
    FormAlteraDelta->ButtonAlterarClick();
    ExpectLastBox("Erro de comunicação !", "QVT_N2", BoxIcon::NoIcon);
    EXPECT_EQ(ui.beeps(), 2);
    EXPECT_EQ(meter.line.frames().size(), 2u);   // the write still goes out
}

// The jumper reminder stands out: bold and larger than the dialog's other labels, and whole.
TEST_F(DeltaTest, JumperReminderIsBoldLargerAndFits)
{
    FormAlteraDelta->show();
    const QLabel* reminder = FormAlteraDelta->Label2;
    EXPECT_TRUE(reminder->font().bold());
    EXPECT_EQ(reminder->font().pointSize(), 11);
    EXPECT_GT(reminder->font().pointSize(), FormAlteraDelta->Label1->font().pointSize());
    EXPECT_LE(reminder->heightForWidth(reminder->width()), reminder->height());
    EXPECT_LE(reminder->geometry().bottom(), FormAlteraDelta->ButtonAlterar->geometry().top());
    EXPECT_LE(FormAlteraDelta->ButtonAlterar->geometry().bottom(), FormAlteraDelta->height());
    FormAlteraDelta->hide();
}

}  // namespace
