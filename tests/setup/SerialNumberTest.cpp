// The serial number dialog: a change the meter reads back, and every way it may not.

#include "SetupFixture.h"

#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

namespace {

const QString JumperWarning = "The device doesn't have a Jumper CONFIG, try again. If the device has a Jumper then you "
                              "should verify if there is a communication error.";

class SerialNumberTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        FormMain->EditNSerie->setText("old");
        FormConfiguracao->EditNSerie->setText("old");
        FormAlteraNSerie->show();
    }
    void TearDown() override
    {
        FormAlteraNSerie->hide();
        SetupTest::TearDown();
    }
};

TEST_F(SerialNumberTest, NewNumberIsWrittenAndReadBack)
{
    struct Case {
        QString typed;
        Bytes sent;   // the serial field of the write
        uint32_t stored;
    };
    const Case cases[] = {
        {"300", {0x00, 0x00, 0x01, 0x2C}, 300},
        {"-1", {0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        sim::PtyMeter meter(QuietMeter(true));
        Connect(meter);
        FormAlteraNSerie->show();
        FormAlteraNSerie->EditNewNSerie->setText(c.typed);
        ui.clear();
        FormAlteraNSerie->Button1Click();
        Bytes write = {'!'};
        write.insert(write.end(), c.sent.begin(), c.sent.end());
        write.insert(write.end(), {'W', '0', 0x0D});
        const auto frames = meter.frames();
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(frames[0], write);
        EXPECT_EQ(frames[1], (Bytes{'!', 0, 0, 0, 0, 'R', '0', 0x0D}));
        EXPECT_EQ(meter.state().serialNumber, c.stored);
        EXPECT_EQ(FormMain->EditNSerie->text(), c.typed);
        EXPECT_EQ(FormConfiguracao->EditNSerie->text(), c.typed);
        ExpectLastBox("New serial number changed.", "Message", BoxIcon::Information);
        EXPECT_FALSE(FormAlteraNSerie->isVisible());
    }
}

TEST_F(SerialNumberTest, UnconfirmedChangeTouchesNoOtherForm)
{
    struct Case {
        const char* name;
        bool jumper;
        QString typed;
        int replyKept;   // bytes of the read-back reply that arrive; -1 all
    };
    const Case cases[] = {
        {"no jumper", false, "300", -1},
        {"read-back cut to four bytes", true, "0", 4},   // the missing bytes must not read as zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMeter meter(QuietMeter(c.jumper));
        meter.alter = [&](const Bytes& frame, Bytes& reply) {
            if (c.replyKept >= 0 && frame.size() > 6 && frame[5] == 'R' && frame[6] == '0')
                reply.resize(c.replyKept);
        };
        Connect(meter);
        FormAlteraNSerie->EditNewNSerie->setText(c.typed);
        ui.clear();
        FormAlteraNSerie->Button1Click();
        ExpectLastBox(JumperWarning, "Warning", BoxIcon::Warning);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_EQ(FormMain->EditNSerie->text(), "old");
        EXPECT_EQ(FormConfiguracao->EditNSerie->text(), "old");
        EXPECT_TRUE(FormAlteraNSerie->isVisible());
        EXPECT_EQ(FormAlteraNSerie->focusWidget(), FormAlteraNSerie->EditNewNSerie);
        EXPECT_EQ(FormAlteraNSerie->EditNewNSerie->text(), c.typed);
        EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    }
}

}  // namespace
