// The real main window polls the simulated meter on a pty while the meter drops, cuts and
// garbles replies at known rates and answers late (inside the time-outs). The loop must keep
// going, count exactly the faults it can see, and never show a value from a spoiled reply.

#include "ReliabilityFixture.h"

#include "common/Geral.h"
#include "common/NumberText.h"
#include "link/Wn2.h"
#include "sim/PtyMeter.h"
#include "ui/dialogs/Calibracao.h"
#include "ui/main/N2testeqvtmain.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <bit>
#include <map>
#include <set>

namespace {

using Bytes = std::vector<uint8_t>;
using TextsByEdit = std::map<QString, std::set<QString>>;

constexpr int SoakMs = 25000;
constexpr uint16_t MeterStatusCode = 1234;   // wider than any failure code the panel shows

enum class Kind { Scaled, Fixed4, Fixed3 };
struct Shown {
    QString edit;
    Kind kind;
    const char* unit;
};

// What the window shows each object in: the three-phase rows, the per-phase rows, the registers.
std::map<int, Shown> ShownObjects()
{
    std::map<int, Shown> shown{{0, {"EditU", Kind::Scaled, "V"}},   {1, {"EditI", Kind::Scaled, "A"}},
                               {5, {"EditP", Kind::Scaled, "W"}},   {4, {"EditQ", Kind::Scaled, "VAr"}},
                               {2, {"EditFP", Kind::Fixed4, ""}},   {3, {"EditS", Kind::Scaled, "VA"}},
                               {6, {"EditFreq", Kind::Scaled, "Hz"}}};
    const struct { int first; const char* stem; Kind kind; const char* unit; } phases[] = {
        {7, "EditU", Kind::Scaled, "V"},    {10, "EditI", Kind::Scaled, "A"}, {13, "EditP", Kind::Scaled, "W"},
        {16, "EditQ", Kind::Scaled, "VAr"}, {19, "EditS", Kind::Scaled, "VA"}, {22, "EditFP", Kind::Fixed4, ""}};
    for (const auto& p : phases) {
        for (int phase = 0; phase < 3; ++phase)
            shown[p.first + phase] = {QString("%1%2").arg(p.stem).arg(phase + 1), p.kind, p.unit};
    }
    const char* registers[] = {"EditEAPos", "EditERPos", "EditEANeg", "EditERNeg", "EditMDA", "EditDA", "EditMDS", "EditDS"};
    for (int k = 0; k < 8; ++k)
        shown[25 + k] = {registers[k], Kind::Fixed3, ""};
    return shown;
}

int HexAt(const Bytes& text, size_t at, int pairs)
{
    uint32_t value = 0;
    for (int i = 0; i < 2 * pairs; ++i) {
        const uint8_t c = text[at + i];
        value = value << 4 | uint32_t(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return static_cast<int>(value);
}

bool IsIdentify(const Bytes& request) { return request.size() == 7 && request[0] == '>' && request[3] == 'F'; }
bool IsPointRead(const Bytes& request) { return request.size() == 12 && request[0] == '>' && request[3] == '1' && request[4] == '1'; }

QString Format(const Shown& shown, float value)
{
    QString unit;
    if (shown.kind == Kind::Scaled)
        return FormatMeasurement(value, shown.unit, unit);
    return FormatFixed(value, shown.kind == Kind::Fixed4 ? 4 : 3);
}

// Every text the window may show for a point: one per complete, clean reply the meter sent.
TextsByEdit CleanTexts(const std::vector<sim::Exchange>& exchanges)
{
    const std::map<int, Shown> shown = ShownObjects();
    TextsByEdit allowed;
    for (const sim::Exchange& e : exchanges) {
        if (e.injectedFault || !IsPointRead(e.request) || e.reply.size() != 14)
            continue;
        const Shown& s = shown.at(HexAt(e.request, 5, 1));
        allowed[s.edit].insert(Format(s, std::bit_cast<float>(uint32_t(HexAt(e.reply, 3, 4)))));
    }
    return allowed;
}

bool IsInfoRead(const Bytes& request)
{
    return request.size() == 8 && request[0] == '!' && request[5] == 'R' && request[6] == '3';
}

// Faults the loop can see. Any answer passes an identify, and the information read needs only
// the start counter, so a reply to either cut after what is used goes unnoticed, rightly.
int VisibleFaults(const std::vector<sim::Exchange>& exchanges)
{
    int faults = 0;
    for (const sim::Exchange& e : exchanges) {
        if (!e.injectedFault)
            continue;
        if (IsIdentify(e.request))
            faults += e.reply.empty();
        else if (IsInfoRead(e.request))
            faults += e.reply.size() < 3;
        else
            ++faults;
    }
    return faults;
}

class Soak : public FormsTest, public ::testing::Test {
protected:
    void SetUp() override { Begin(); }
    void TearDown() override
    {
        for (const auto& c : connections_)
            QObject::disconnect(c);
        End();
    }

    // Notes every text any edit of the main window or of the configuration view takes,
    // starting from empty edits.
    void RecordTexts()
    {
        for (QWidget* form : {static_cast<QWidget*>(FormMain), static_cast<QWidget*>(FormConfiguracao)}) {
            const QString prefix = form == FormMain ? "" : "view.";
            for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
                edit->clear();
                const QString name = prefix + edit->objectName();
                connections_.push_back(QObject::connect(edit, &QLineEdit::textChanged, [this, name](const QString& t) {
                    shown[name].insert(t);
                }));
            }
        }
    }

    TextsByEdit shown;

private:
    std::vector<QMetaObject::Connection> connections_;
};

TEST_F(Soak, CountsEveryVisibleFaultAndShowsOnlyCleanValues)
{
    sim::MeterSettings settings;
    settings.seed = 20240611;
    settings.statusCode = MeterStatusCode;
    settings.faults.dropRate = 0.02;
    settings.faults.cutRate = 0.03;
    settings.faults.garbleRate = 0.04;
    settings.faults.turnaroundMs = 5;
    sim::PtyMeter meter(settings);
    ASSERT_TRUE(ConnectDevice(QString::fromStdString(meter.path())));
    RecordTexts();
    std::set<QString> statusTexts;

    FormMain->EditEnd->setText("1");
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, FormMain->ButtonStop, &QPushButton::click);
    stop.start(SoakMs);
    // Panel 2 as each cycle left it.
    QTimer watchStatus;
    QObject::connect(&watchStatus, &QTimer::timeout, [&] { statusTexts.insert(FormMain->StatusText(2)); });
    watchStatus.start(0);
    QElapsedTimer elapsed;
    elapsed.start();
    FormMain->ButtonReadClick();

    // Ended by "&Stop" within one cycle (a dropped config reply waits 2.57 s at most).
    EXPECT_LT(elapsed.elapsed(), SoakMs + 8000);
    EXPECT_TRUE(FormMain->ButtonRead->isEnabled());
    const std::vector<sim::Exchange> exchanges = meter.exchanges();
    int cycles = 0;
    for (const sim::Exchange& e : exchanges)
        cycles += IsIdentify(e.request);
    EXPECT_GT(cycles, 20);

    const int faults = VisibleFaults(exchanges);
    EXPECT_GT(faults, 20);
    EXPECT_EQ(FormMain->StatusText(3), " Error Communication : " + QString::number(faults));
    EXPECT_EQ(ui.beeps(), faults);
    EXPECT_EQ(ui.boxes(), 0);

    const TextsByEdit allowed = CleanTexts(exchanges);
    for (const auto& [object, s] : ShownObjects()) {
        for (const QString& prefix : {QString(), QString("view.")}) {
            for (const QString& text : shown[prefix + s.edit])
                EXPECT_TRUE(allowed.count(s.edit) && allowed.at(s.edit).count(text))
                    << (prefix + s.edit).toStdString() << " showed '" << text.toStdString() << "'";
        }
    }
    // Config replies are cut or dropped, never garbled: a cut one must not be shown either.
    const std::pair<const char*, std::set<QString>> fixed[] = {
        {"EditNSerie", {"1234567"}}, {"EditTP", {"1.0000"}}, {"EditTC", {"5.0000"}}, {"EditKE", {"1000"}},
        {"EditTL", {"10"}},          {"EditTI", {"15"}},     {"EditPartidas", {"17"}}};
    for (const auto& [edit, texts] : fixed)
        EXPECT_EQ(shown[edit], texts) << edit;
    for (const QString& text : statusTexts) {
        if (!text.contains('['))
            continue;   // the panel's text before the first status
        const QString code = text.section('[', 1).section(']', 0, 0);
        const int number = code.toInt();
        // A garbled status reply reads -2, never its length 28.
        EXPECT_TRUE(code == "1234" || (number >= -2 && number < 256 && number != 0 && number != 28))
            << text.toStdString();
    }
}

}  // namespace
