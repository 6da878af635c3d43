// The configuration view reading one meter: decoded calibration, the status code in the main
// window, and nothing stale left behind when a read fails: no calibration and no serial number
// of a meter that did not answer this time.

#include "SetupFixture.h"

#include "ui/dialogs/Alteraend.h"
#include "ui/dialogs/Alteranserie.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/dialogs/Registroscalibracao.h"
#include "ui/main/N2testeqvtmain.h"

#include <QApplication>
#include <QTimer>

namespace {

class ConfigurationViewTest : public SetupTest {
protected:
    void TearDown() override
    {
        FormConfiguracao->hide();
        SetupTest::TearDown();
    }
    static QList<QLineEdit*> CalibrationEdits()
    {
        TFormConfiguracao* v = FormConfiguracao;
        return {v->EditKU,         v->EditKI,         v->EditCalAtualU1, v->EditCalAtualU2,
                v->EditCalAtualU3, v->EditCalAtualI1, v->EditCalAtualI2, v->EditCalAtualI3};
    }
    static QStringList CalibrationTexts()
    {
        QStringList texts;
        for (QLineEdit* edit : CalibrationEdits())
            texts << edit->text();
        return texts;
    }
    static void FillView(const QString& text)
    {
        for (QLineEdit* edit : CalibrationEdits())
            edit->setText(text);
        FormConfiguracao->EditEnd->setText(text);
        FormConfiguracao->EditNSerie->setText(text);
    }
};

TEST_F(ConfigurationViewTest, ShowsCalibrationAndStatusCodeOnEveryShow)
{
    sim::PtyMeter meter(QuietMeter(false));
    meter.withCore([](sim::MeterCore& core) {
        const uint8_t block[18] = {0x7E, 0x7C, 0xD6, 0x7F, 0xC0, 0x00, 0x00, 0x88, 0x00,
                                   0x08, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10};
        std::copy(block, block + 18, core.state().bank1);
    });
    Connect(meter);
    FormMain->EditEnd->setText("1");
    const std::pair<uint16_t, QString> codes[] = {{5, "05"}, {258, "258"}};
    for (const auto& [code, shown] : codes) {
        SCOPED_TRACE(code);
        meter.withCore([code](sim::MeterCore& core) { core.state().statusCode = code; });
        meter.clearExchanges();
        FormConfiguracao->hide();
        FormConfiguracao->show();
        EXPECT_EQ(FormMain->StatusText(2), " Status : Error Code [" + shown + "]");
        EXPECT_EQ(CalibrationTexts(), (QStringList{"0.987640380859375", "-1.5", "1", "0", "0.5", "0", "7.999755859375", "-0.5"}));
        EXPECT_EQ(FormConfiguracao->EditEnd->text(), "1");
        EXPECT_EQ(FormConfiguracao->EditNSerie->text(), QString::number(MeterSerial));
        EXPECT_EQ(FormMain->EditNSerie->text(), QString::number(MeterSerial));
        EXPECT_EQ(meter.frames().size(), 3u);   // identify, status, bank 1 read
    }
    EXPECT_EQ(ui.boxes(), 0);
}

TEST_F(ConfigurationViewTest, FailedReadLeavesNoStaleCalibration)
{
    struct Case {
        const char* name;
        QString address;
        std::function<void(ScriptedMeter&)> fault;
        QString box;                   // empty: no box
        QString endShown, serialShown;
        bool cleared;
    };
    const auto isBank1Read = [](const Bytes& f) { return f.size() > 7 && f[5] == 'R' && f[6] == '2' && f[7] == 1; };
    const auto isStatus = [](const Bytes& f) { return f.size() > 4 && f[0] == '>' && f[3] == '0' && f[4] == '9'; };
    const QString serial = QString::number(MeterSerial);
    const Case cases[] = {
        {"no meter at the address", "2", [](ScriptedMeter&) {}, "Code -1: \"Communication Error\"", "2", "", true},
        {"bank 1 reply one byte short", "1",
         [&](ScriptedMeter& m) { m.alter = [&](const Bytes& f, Bytes& r) { if (isBank1Read(f)) r.resize(18); }; }, "",
         "1", serial, true},
        {"status reply in lower-case hex", "1",
         [&](ScriptedMeter& m) { m.alter = [&](const Bytes& f, Bytes& r) { if (isStatus(f)) r[12] = 'd'; }; }, "", "1",
         "", true},
        {"address out of range", "256", [](ScriptedMeter&) {}, "Device address must be between 1 and 255", "x", "",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMeter meter(QuietMeter(false));
        c.fault(meter);
        Connect(meter);
        FillView("x");
        FormMain->EditEnd->setText(c.address);
        ui.clear();
        FormConfiguracao->hide();
        FormConfiguracao->show();
        if (c.box.isEmpty()) {
            EXPECT_EQ(ui.boxes(), 0);
        } else {
            ExpectLastBox(c.box, "Error", BoxIcon::Critical);
        }
        EXPECT_EQ(FormConfiguracao->EditEnd->text(), c.endShown);
        EXPECT_EQ(FormConfiguracao->EditNSerie->text(), c.serialShown);
        EXPECT_EQ(CalibrationTexts(), QStringList(QList<QString>(8, c.cleared ? "" : "x")));
        if (!c.cleared) {
            EXPECT_TRUE(meter.line.frames().empty());
        }
    }
}

TEST_F(ConfigurationViewTest, ButtonsOpenTheirDialogsModally)
{
    const std::pair<QPushButton*, QDialog*> cases[] = {
        {FormConfiguracao->ButtonAlterarCAL, FormRegistrosCalibracao},
        {FormConfiguracao->ButtonSetNSerie, FormAlteraNSerie},
        {FormConfiguracao->Button1, FormAlteraEnd},
    };
    ScriptedMeter meter(QuietMeter(false));
    Connect(meter);
    FormMain->EditEnd->setText("1");
    FormConfiguracao->show();
    for (const auto& [button, dialog] : cases) {
        SCOPED_TRACE(button->objectName().toStdString());
        QWidget* opened = nullptr;
        QTimer::singleShot(0, [&opened] {
            opened = QApplication::activeModalWidget();
            if (opened)
                static_cast<QDialog*>(opened)->reject();
        });
        button->click();
        EXPECT_EQ(opened, dialog);
    }
}

}  // namespace
