// The calibration dialog, opened over the configuration view: the 18-byte block in the
// meter, values no encoding holds, and a meter without its Jumper CONFIG.

#include "SetupFixture.h"

#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/main/N2testeqvtmain.h"

namespace {

const QString JumperWarning = "The device doesn't have a Jumper CONFIG, try again. If the device has a Jumper then you "
                              "should verify if there is a communication error.";

class CalibrationTest : public SetupTest {
protected:
    void TearDown() override
    {
        FormRegistrosCalibracao->hide();
        FormConfiguracao->hide();
        SetupTest::TearDown();
    }
    // Opens the view on meter 1 and the dialog over it.
    static void OpenDialog()
    {
        FormMain->EditEnd->setText("1");
        FormConfiguracao->show();
        FormRegistrosCalibracao->show();
    }
    // KU, KI, U1, U2, U3, I1, I2, I3
    static void Type(const QStringList& texts)
    {
        TFormRegistrosCalibracao* d = FormRegistrosCalibracao;
        QLineEdit* const edits[] = {d->EditKU,         d->EditKI,         d->EditCalAtualU1, d->EditCalAtualU2,
                                    d->EditCalAtualU3, d->EditCalAtualI1, d->EditCalAtualI2, d->EditCalAtualI3};
        for (int i = 0; i < 8; ++i)
            edits[i]->setText(texts[i]);
    }
    static QStringList ViewTexts()
    {
        TFormConfiguracao* v = FormConfiguracao;
        return {v->EditKU->text(),         v->EditKI->text(),         v->EditCalAtualU1->text(),
                v->EditCalAtualU2->text(), v->EditCalAtualU3->text(), v->EditCalAtualI1->text(),
                v->EditCalAtualI2->text(), v->EditCalAtualI3->text()};
    }
};

// Distinct values in all eight fields: a swapped offset, or an exponent-first value written
// after the fixed-point ones (its fourth byte over CAL_I3), changes a byte on the wire.
TEST_F(CalibrationTest, WriteRoundTripsThroughTheView)
{
    sim::PtyMeter meter(QuietMeter(true));
    Connect(meter);
    OpenDialog();
    EXPECT_EQ(FormRegistrosCalibracao->EditKU->text(), FormConfiguracao->EditKU->text());
    meter.clearExchanges();
    Type({"1.1", "-2.3", "1.0", "7.9999", "0.25", "1.1", "-3.75", "-0.5"});
    FormRegistrosCalibracao->ButtonAlterarCALClick();

    const Bytes expected = {0x7F, 0x0C, 0xCC,    // KU
                            0x80, 0x93, 0x33,    // KI
                            0x00, 0x88,          // CAL_I3
                            0x00, 0x04,          // CAL_U3
                            0x00, 0xBC,          // CAL_I2
                            0xFF, 0x7F,          // CAL_U2
                            0x99, 0x11,          // CAL_I1
                            0x00, 0x10};         // CAL_U1
    const auto frames = meter.frames();
    ASSERT_EQ(CountFrames(frames, 'W', '2'), 1);
    const Bytes& write = frames.front();
    ASSERT_EQ(write.size(), 29u);   // '!', serial, "W2", bank, start, count, 18 bytes, CR
    EXPECT_EQ(Slice(write.data(), 0, 10), (Bytes{'!', 0x00, 0x12, 0xD6, 0x87, 'W', '2', 1, 0, 18}));
    EXPECT_EQ(Slice(write.data(), 10, 18), expected);
    EXPECT_EQ(write.back(), 0x0D);
    EXPECT_EQ(Slice(meter.state().bank1, 0, 18), expected);
    ExpectLastBox("Parameters changed.", "Message", BoxIcon::Information);
    EXPECT_EQ(ui.beeps(), 0);
    EXPECT_EQ(StopFlag, 1);
    EXPECT_FALSE(FormRegistrosCalibracao->isVisible());
    // As typed, in single precision.
    EXPECT_EQ(ViewTexts(), (QStringList{"1.10000002384186", "-2.29999995231628", "1", "7.99989986419678", "0.25",
                                        "1.10000002384186", "-3.75", "-0.5"}));

    FormConfiguracao->hide();
    FormConfiguracao->show();
    // As stored: three bytes of each exponent-first value, the fixed-point form truncated.
    EXPECT_EQ(ViewTexts(), (QStringList{"1.0999755859375", "-2.29998779296875", "1", "7.999755859375", "0.25",
                                        "1.099853515625", "-3.75", "-0.5"}));
}

TEST_F(CalibrationTest, RefusesValuesNoEncodingHolds)
{
    struct Case {
        int field;   // KU, KI, U1, U2, U3, I1, I2, I3
        QString typed;
        QString box;
    };
    const Case cases[] = {
        {2, "8.0", " Invalid CAL_U1 value!"},     // would be written as negative zero
        {7, "-8", " Invalid CAL_I3 value!"},
        {4, "1e39", " Invalid CAL_U3 value!"},
        {0, "1e-39", " Invalid KU value! "},      // its exponent byte would wrap
        {1, "-1e-39", " Invalid KI value!"},
        {1, "1e39", " Invalid KI value!"},
        {0, "", " Invalid KU value! "},
        {2, "1,5", " Invalid CAL_U1 value!"},     // only KU and KI take either separator
        {6, "inf", " Invalid CAL_I2 value!"},
    };
    sim::PtyMeter meter(QuietMeter(true));
    Connect(meter);
    OpenDialog();
    meter.clearExchanges();
    TFormRegistrosCalibracao* d = FormRegistrosCalibracao;
    QLineEdit* const edits[] = {d->EditKU,         d->EditKI,         d->EditCalAtualU1, d->EditCalAtualU2,
                                d->EditCalAtualU3, d->EditCalAtualI1, d->EditCalAtualI2, d->EditCalAtualI3};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.toStdString() + " for " + c.typed.toStdString());
        QStringList texts{"1,5", "1", "1", "1", "1", "1", "1", "1"};
        texts[c.field] = c.typed;
        Type(texts);
        ui.clear();
        FormRegistrosCalibracao->ButtonAlterarCALClick();
        ExpectLastBox(c.box, "Warning", BoxIcon::Critical);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_EQ(FormRegistrosCalibracao->focusWidget(), edits[c.field]);
        EXPECT_EQ(FormRegistrosCalibracao->EditKU->text(), c.field == 0 ? c.typed : "1.5");
    }
    EXPECT_TRUE(meter.frames().empty());
    EXPECT_EQ(StopFlag, 0);
}

TEST_F(CalibrationTest, MeterWithoutJumperKeepsItsCalibration)
{
    sim::PtyMeter meter(QuietMeter(false));
    Connect(meter);
    OpenDialog();
    const QStringList before = ViewTexts();
    const Bytes stored = Slice(meter.state().bank1, 0, 18);
    Type({"1.5", "-1.5", "1.0", "0", "0", "0", "0", "-0.5"});
    ui.clear();
    FormRegistrosCalibracao->ButtonAlterarCALClick();
    ExpectLastBox(JumperWarning, "Warning", BoxIcon::Warning);
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_EQ(Slice(meter.state().bank1, 0, 18), stored);
    EXPECT_EQ(ViewTexts(), before);
    EXPECT_EQ(StopFlag, 1);
    EXPECT_TRUE(FormRegistrosCalibracao->isVisible());
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
}

// A read-back one byte short is no confirmation, even where the missing byte would read as 0.
TEST_F(CalibrationTest, ShortReadBackIsNotAChange)
{
    const auto isBank1Read = [](const Bytes& f) { return f.size() > 7 && f[5] == 'R' && f[6] == '2' && f[7] == 1; };
    ScriptedMeter meter(QuietMeter(true));
    Connect(meter);
    OpenDialog();
    meter.alter = [&](const Bytes& frame, Bytes& reply) {
        if (isBank1Read(frame))
            reply.resize(18);
    };
    const QStringList before = ViewTexts();
    Type({"1.5", "-1.5", "0.05", "1", "1", "1", "1", "-0.5"});   // CAL_U1 0.05: its high byte is 00
    ui.clear();
    FormRegistrosCalibracao->ButtonAlterarCALClick();
    ExpectLastBox(JumperWarning, "Warning", BoxIcon::Warning);
    EXPECT_EQ(meter.core.state().bank1[17], 0x00);   // the meter did take the block
    EXPECT_EQ(ViewTexts(), before);
    EXPECT_TRUE(FormRegistrosCalibracao->isVisible());
}

// Calibration goes only to the serial number the view read (or the serial-number dialog
// confirmed): once the view has read nothing, "Ch&ange" refuses before it checks a value.
TEST_F(CalibrationTest, ChangeNeedsTheMeterReadByTheView)
{
    struct Case {
        const char* name;
        QString address;   // the main window's when the view is shown again
    };
    const Case cases[] = {{"nothing answers there", "2"}, {"address refused", "256"}, {"address not a number", "12a"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::PtyMeter meter(QuietMeter(true));
        Connect(meter);
        OpenDialog();   // the view read meter 1
        FormRegistrosCalibracao->hide();
        FormMain->EditEnd->setText(c.address);
        FormConfiguracao->hide();
        FormConfiguracao->show();
        EXPECT_TRUE(FormConfiguracao->EditNSerie->text().isEmpty());
        const Bytes stored = Slice(meter.state().bank1, 0, 18);
        FormRegistrosCalibracao->show();
        Type({"abc", "-1.5", "1.0", "0", "0", "0", "0", "-0.5"});
        meter.clearExchanges();
        ui.clear();
        FormRegistrosCalibracao->ButtonAlterarCALClick();
        ASSERT_EQ(ui.boxes(), 1);
        ExpectLastBox("Read the device in the configuration view first.", "Warning", BoxIcon::Warning);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_TRUE(meter.frames().empty());
        EXPECT_EQ(Slice(meter.state().bank1, 0, 18), stored);
        EXPECT_TRUE(FormRegistrosCalibracao->isVisible());
        EXPECT_EQ(StopFlag, 0);
    }
}

TEST_F(CalibrationTest, SerialNumberConfirmedBySerialNumberDialogIsEnough)
{
    sim::PtyMeter meter(QuietMeter(true));
    Connect(meter);
    FormMain->EditEnd->setText("2");   // nothing answers: the view reads no serial number
    FormConfiguracao->show();
    FormAlteraNSerie->show();
    FormAlteraNSerie->EditNewNSerie->setText("300");
    FormAlteraNSerie->Button1Click();
    ASSERT_EQ(meter.state().serialNumber, 300u);
    EXPECT_EQ(FormConfiguracao->EditNSerie->text(), "300");

    FormRegistrosCalibracao->show();
    Type({"1.5", "-1.5", "1.0", "0", "0", "0", "0", "-0.5"});
    ui.clear();
    FormRegistrosCalibracao->ButtonAlterarCALClick();
    ExpectLastBox("Parameters changed.", "Message", BoxIcon::Information);
    EXPECT_EQ(Slice(meter.state().bank1, 0, 3), (Bytes{0x7F, 0x40, 0x00}));
}

}  // namespace
