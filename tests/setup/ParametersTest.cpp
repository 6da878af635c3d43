// The parameter dialog against the simulated meter: the block on the wire and in the meter,
// every refused input, the locale's separator and a meter that does not take the block.

#include "SetupFixture.h"

#include "ui/dialogs/Qvtparametros.h"
#include "ui/main/N2testeqvtmain.h"

namespace {

struct Typed {
    QString address = "1";
    QString tp = "1.0";
    QString tc = "5.0";
    QString ke = "1000";
    QString tl = "10";
    QString ti = "15";
};

const Bytes ExampleBlock = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0xA0, 0x40, 0xE8, 0x03, 0x0A, 0x0F};

class ParametersTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        FormMain->EditEnd->setText("7");
        for (QLineEdit* edit : {FormMain->EditTP, FormMain->EditTC, FormMain->EditKE, FormMain->EditTL, FormMain->EditTI})
            edit->setText("old");
        FormMain->EditNSerie->clear();
        FormSetParametros->show();
    }
    void TearDown() override
    {
        FormSetParametros->hide();
        SetupTest::TearDown();
    }
    static void Type(const Typed& typed)
    {
        TFormSetParametros* form = FormSetParametros;
        form->EditEnd->setText(typed.address);
        form->EditTP->setText(typed.tp);
        form->EditTC->setText(typed.tc);
        form->EditKE->setText(typed.ke);
        form->EditTL->setText(typed.tl);
        form->EditTI->setText(typed.ti);
    }
    static QStringList MainParameters()
    {
        return {FormMain->EditTP->text(), FormMain->EditTC->text(), FormMain->EditKE->text(), FormMain->EditTL->text(),
                FormMain->EditTI->text()};
    }
};

TEST_F(ParametersTest, WritesTheBlockAndShowsItOnceAReadingWasShown)
{
    sim::PtyMeter meter(QuietMeter(false));
    Connect(meter);
    for (const bool readingShown : {true, false}) {
        SCOPED_TRACE(readingShown ? "reading shown" : "no reading yet");
        FormMain->EditU->setText(readingShown ? "220.0" : "");
        FormSetParametros->show();
        meter.withCore([](sim::MeterCore& core) { std::fill_n(core.state().bank2, 12, uint8_t(0)); });
        meter.clearExchanges();
        ui.clear();
        Type({});
        FormSetParametros->BitBtnAlterarClick();

        EXPECT_EQ(Slice(meter.state().bank2, 0, 12), ExampleBlock);
        const auto frames = meter.frames();
        ASSERT_EQ(frames.size(), 4u);   // identify, status, block write, block read
        Bytes write = {'!', 0x00, 0x12, 0xD6, 0x87, 'W', '2', 0x02, 0x00, 0x0C};
        write.insert(write.end(), ExampleBlock.begin(), ExampleBlock.end());
        write.push_back(0x0D);
        EXPECT_EQ(frames[2], write);
        EXPECT_EQ(CountFrames(frames, 'R', '2'), 1);
        ExpectLastBox("Parameters changed.", "Message", BoxIcon::Information);
        EXPECT_EQ(ui.lastBox()->cursor, CursorState::Arrow);   // shown while the hourglass is set
        EXPECT_EQ(FormMain->EditEnd->text(), "1");
        EXPECT_EQ(FormMain->EditNSerie->text(), QString::number(MeterSerial));
        const QStringList expected = readingShown ? QStringList{"1.0000", "5.0000", "1000", "10", "15"}
                                                  : QStringList{"old", "old", "old", "old", "old"};
        EXPECT_EQ(MainParameters(), expected);
        EXPECT_FALSE(FormSetParametros->isVisible());
        for (QLineEdit* edit : {FormMain->EditTP, FormMain->EditTC, FormMain->EditKE, FormMain->EditTL, FormMain->EditTI})
            edit->setText("old");
    }
}

TEST_F(ParametersTest, RefusesTheFirstBadFieldAndSendsNothing)
{
    struct Case {
        Typed typed;
        QString box;
        QString title;
        BoxIcon icon;
        QLineEdit* focus;
    };
    TFormSetParametros* f = FormSetParametros;
    const QString range = "Device address must be between 1 and 255";
    const auto withAddress = [](QString a) { Typed t; t.address = a; return t; };
    const auto withTp = [](QString v) { Typed t; t.tp = v; return t; };
    const auto withTc = [](QString v) { Typed t; t.tc = v; return t; };
    const auto withKe = [](QString v) { Typed t; t.ke = v; return t; };
    const auto withTl = [](QString v) { Typed t; t.tl = v; return t; };
    const auto withTi = [](QString v) { Typed t; t.ti = v; return t; };
    Typed emptyAddressBadTp = withAddress("");
    emptyAddressBadTp.tp = "abc";
    const Case cases[] = {
        {emptyAddressBadTp, "Type the device address.", "Warning", BoxIcon::Warning, f->EditEnd},
        {withAddress("12a"), "Device address incorrect!", "Error", BoxIcon::Critical, f->EditEnd},
        {withAddress("0"), range, "Error", BoxIcon::Critical, f->EditEnd},
        {withAddress("256"), range, "Error", BoxIcon::Critical, f->EditEnd},
        {withAddress("-1"), range, "Error", BoxIcon::Critical, f->EditEnd},
        {withTp("0"), "TP value must be > 0.", "Message", BoxIcon::Warning, f->EditTP},
        {withTp("-2"), "TP value must be > 0.", "Message", BoxIcon::Warning, f->EditTP},
        {withTp("1e-50"), "TP value must be > 0.", "Message", BoxIcon::Warning, f->EditTP},
        {withTp("abc"), "Invalid TP value!", "Error", BoxIcon::Critical, f->EditTP},
        {withTp(""), "Invalid TP value!", "Error", BoxIcon::Critical, f->EditTP},
        {withTp("1e39"), "Invalid TP value!", "Error", BoxIcon::Critical, f->EditTP},
        {withTp("inf"), "Invalid TP value!", "Error", BoxIcon::Critical, f->EditTP},
        {withTc("nan"), "Invalid TC value!", "Error", BoxIcon::Critical, f->EditTC},
        {withTc("-1e39"), "Invalid TC value!", "Error", BoxIcon::Critical, f->EditTC},
        {withTc("0"), "TC value must be > 0.", "Message", BoxIcon::Warning, f->EditTC},
        {withKe("1,0"), "Invalid KE value!", "Error", BoxIcon::Critical, f->EditKE},
        {withKe(""), "Invalid KE value!", "Error", BoxIcon::Critical, f->EditKE},
        {withKe("65536"), "KE value must be between 0 and 65535.", "Message", BoxIcon::Warning, f->EditKE},
        {withKe("-1"), "KE value must be between 0 and 65535.", "Message", BoxIcon::Warning, f->EditKE},
        {withTl("256"), "TL value must be between 0 and 255.", "Message", BoxIcon::Warning, f->EditTL},
        {withTl("x"), "Invalid TL value!", "Error", BoxIcon::Critical, f->EditTL},
        {withTi("61"), "TI value must be between 0 and 60.", "Message", BoxIcon::Warning, f->EditTI},
        {withTi("-1"), "TI value must be between 0 and 60.", "Message", BoxIcon::Warning, f->EditTI},
        {withTi("1.5"), "Invalid TI value!", "Error", BoxIcon::Critical, f->EditTI},
    };
    sim::PtyMeter meter(QuietMeter(false));
    Connect(meter);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.toStdString() + " / " + c.focus->objectName().toStdString());
        ui.clear();
        Type(c.typed);
        FormSetParametros->BitBtnAlterarClick();
        ExpectLastBox(c.box, c.title, c.icon);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_EQ(FormSetParametros->focusWidget(), c.focus);
        EXPECT_EQ(FormMain->EditEnd->text(), "7");
        EXPECT_TRUE(FormSetParametros->isVisible());
    }
    EXPECT_TRUE(meter.frames().empty());
}

TEST_F(ParametersTest, TakesEitherSeparatorForTpAndTc)
{
    struct Case {
        QLocale locale;
        QString typed;
        QString shown;
        QString inMainWindow;
    };
    const Case cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), "1.5", "1,5", "1,5000"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "1,5", "1.5", "1.5000"},
    };
    sim::PtyMeter meter(QuietMeter(false));
    Connect(meter);
    FormMain->EditU->setText("220.0");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        QLocale::setDefault(c.locale);
        FormSetParametros->show();
        Typed typed;
        typed.tp = c.typed;
        typed.tc = c.typed;
        Type(typed);
        FormSetParametros->BitBtnAlterarClick();
        EXPECT_EQ(FormSetParametros->EditTP->text(), c.shown);
        EXPECT_EQ(FormSetParametros->EditTC->text(), c.shown);
        EXPECT_EQ(Slice(meter.state().bank2, 0, 8), (Bytes{0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0xC0, 0x3F}));
        EXPECT_EQ(FormMain->EditTP->text(), c.inMainWindow);
    }
}

TEST_F(ParametersTest, ReadBackThatDiffersIsNotAChange)
{
    struct Case {
        const char* name;
        std::function<void(ScriptedMeter&)> fault;
        Typed typed;   // differs from what the meter holds
    };
    const auto isBlockWrite = [](const Bytes& frame) { return frame.size() > 6 && frame[5] == 'W' && frame[6] == '2'; };
    const auto isBlockRead = [](const Bytes& frame) { return frame.size() > 6 && frame[5] == 'R' && frame[6] == '2'; };
    Typed newTp;
    newTp.tp = "2.0";
    Typed newTi;   // only the block's last byte changes
    newTi.ti = "16";
    const Case cases[] = {
        {"meter keeps its old block", [&](ScriptedMeter& m) { m.ignore = isBlockWrite; }, newTp},
        {"meter keeps its old TI", [&](ScriptedMeter& m) { m.ignore = isBlockWrite; }, newTi},
        {"read-back cut short", [&](ScriptedMeter& m) {
             m.alter = [&](const Bytes& frame, Bytes& reply) {
                 if (isBlockRead(frame))
                     reply.resize(12);
             };
         }, newTp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMeter meter(QuietMeter(false));
        c.fault(meter);
        Connect(meter);
        FormMain->EditU->setText("220.0");
        FormSetParametros->show();
        ui.clear();
        Type(c.typed);
        FormSetParametros->BitBtnAlterarClick();
        ExpectLastBox("The device did not confirm the parameters. Check the connection and try again.", "Error",
                      BoxIcon::Critical);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_EQ(CountFrames(meter.line.frames(), 'W', '2'), 1);
        EXPECT_EQ(MainParameters(), (QStringList{"old", "old", "old", "old", "old"}));
        EXPECT_TRUE(FormSetParametros->isVisible());
        EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    }
}

// Without a clean serial number from the status reply nothing may be written; the box names
// what went wrong and the address typed still reaches the main window.
TEST_F(ParametersTest, NoSerialNumberNoBlock)
{
    struct Case {
        const char* name;
        std::function<void(ScriptedMeter&)> fault;
        QString box;
    };
    const auto isStatus = [](const Bytes& f) { return f.size() > 4 && f[0] == '>' && f[3] == '0' && f[4] == '9'; };
    const Case cases[] = {
        {"no meter", [](ScriptedMeter& m) { m.ignore = [](const Bytes&) { return true; }; },
         "Code -1: \"Communication Error\""},
        {"short status reply",
         [&](ScriptedMeter& m) { m.alter = [&](const Bytes& f, Bytes& r) { if (isStatus(f)) r.resize(27); }; },
         "Code 27: \"Communication Error\""},
        {"garbled status reply",
         [&](ScriptedMeter& m) { m.alter = [&](const Bytes& f, Bytes& r) { if (isStatus(f)) r[12] = 'd'; }; },
         "Code -2: MESSAGE ERROR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMeter meter(QuietMeter(false));
        c.fault(meter);
        Connect(meter);
        FormMain->EditEnd->setText("7");
        FormSetParametros->show();
        ui.clear();
        Type({});
        FormSetParametros->BitBtnAlterarClick();
        ExpectLastBox(c.box, "Error", BoxIcon::Critical);
        EXPECT_EQ(ui.beeps(), 2);
        EXPECT_EQ(FormMain->EditEnd->text(), "1");
        EXPECT_TRUE(FormMain->EditNSerie->text().isEmpty());
        EXPECT_EQ(CountFrames(meter.line.frames(), 'W', '2'), 0);
        EXPECT_EQ(MainParameters(), (QStringList{"old", "old", "old", "old", "old"}));
        EXPECT_TRUE(FormSetParametros->isVisible());
        EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    }
}

}  // namespace
