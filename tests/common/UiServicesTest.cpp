#include "common/Geral.h"
#include "common/ConversionError.h"
#include "common/UiServices.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Recorded : public ::testing::Test {
protected:
    void SetUp() override { InstallUiRecorder(&recorder); }
    void TearDown() override { InstallUiRecorder(nullptr); }
    UiRecorder recorder;
};

struct CommErrorCase { int code; const char* text; };

TEST_F(Recorded, CommErrorBeepsThenShowsStopBoxTitledError)
{
    const CommErrorCase cases[] = {
        {-1, "Code -1: \"Communication Error\""},
        {-2, "Code -2: MESSAGE ERROR"},
        {5, "Code 5: \"Communication Error\""},
        {0, "Code 0: \"Communication Error\""},
        {-2147483647 - 1, "Code -2147483648: \"Communication Error\""},
    };
    for (const auto& c : cases) {
        recorder.clear();
        EXPECT_EQ(ShowCommError(c.code), QMessageBox::Ok);
        ASSERT_EQ(recorder.events.size(), 2u) << c.code;
        EXPECT_EQ(recorder.events[0].kind, UiEvent::Beep);
        const UiEvent& box = recorder.events[1];
        EXPECT_EQ(box.kind, UiEvent::Box);
        EXPECT_EQ(box.text, QString::fromLatin1(c.text));
        EXPECT_EQ(box.title, QStringLiteral("Error"));
        EXPECT_EQ(box.icon, BoxIcon::Critical);
    }
}

TEST_F(Recorded, ConversionErrorsNameTheText)
{
    ShowIntegerConversionError(QStringLiteral("12a"));
    ShowFloatConversionError(QStringLiteral("1,5"));
    ShowIntegerConversionError(QString(10000, QLatin1Char('7')));
    ASSERT_EQ(recorder.boxes(), 3);
    EXPECT_EQ(recorder.beeps(), 0);
    EXPECT_EQ(recorder.events[0].text, QStringLiteral("'12a' is not a valid integer value"));
    EXPECT_EQ(recorder.events[1].text, QStringLiteral("'1,5' is not a valid floating point value"));
    for (const UiEvent& e : recorder.events) {
        EXPECT_EQ(e.title, QStringLiteral("QVT_N2"));
        EXPECT_EQ(e.icon, BoxIcon::Critical);
    }
    const QString& huge = recorder.lastBox()->text;
    EXPECT_LT(huge.size(), 200);
    EXPECT_TRUE(huge.startsWith(QStringLiteral("'7777"))) << huge.toStdString();
    EXPECT_TRUE(huge.endsWith(QStringLiteral("' is not a valid integer value")));
}

TEST_F(Recorded, RecorderKeepsOrderAndCounts)
{
    Beep();
    ShowMessageBox(QStringLiteral("first"), QStringLiteral("Warning"), BoxIcon::Warning);
    Beep();
    ShowMessageBox(QStringLiteral("plain"), QString(), BoxIcon::NoIcon);
    EXPECT_EQ(recorder.beeps(), 2);
    EXPECT_EQ(recorder.boxes(), 2);
    ASSERT_NE(recorder.lastBox(), nullptr);
    EXPECT_EQ(recorder.lastBox()->text, QStringLiteral("plain"));
    EXPECT_EQ(recorder.lastBox()->title, QStringLiteral("QVT_N2"));
    recorder.clear();
    EXPECT_EQ(recorder.lastBox(), nullptr);
}

struct RealBoxCase { BoxIcon icon; QString title; QMessageBox::Icon qtIcon; QString shownTitle; };

TEST(RealMessageBox, IsAModalQMessageBoxWithOneOkButton)
{
    const RealBoxCase cases[] = {
        {BoxIcon::Warning, "Warning", QMessageBox::Warning, "Warning"},
        {BoxIcon::Critical, "Error", QMessageBox::Critical, "Error"},
        {BoxIcon::Information, "Message", QMessageBox::Information, "Message"},
        {BoxIcon::NoIcon, "", QMessageBox::NoIcon, "QVT_N2"},
    };
    for (const auto& c : cases) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->icon(), c.qtIcon);
            EXPECT_EQ(box->windowTitle(), c.shownTitle);
            EXPECT_EQ(box->text(), QStringLiteral("<b>typed</b>"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            ASSERT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
            box->buttons().front()->click();
        });
        EXPECT_EQ(ShowMessageBox(QStringLiteral("<b>typed</b>"), c.title, c.icon), QMessageBox::Ok);
        EXPECT_TRUE(seen);
    }
}

// Pops every override cursor and says how many there were.
int DrainOverrides()
{
    int depth = 0;
    while (QGuiApplication::overrideCursor()) {
        QGuiApplication::restoreOverrideCursor();
        ++depth;
    }
    return depth;
}

// Whatever the cursor before it, a box waits under the arrow and that cursor returns after it.
TEST(MessageBoxCursor, ArrowWhileTheBoxWaitsThenTheCursorFromBefore)
{
    for (const CursorState before : {CursorState::Hourglass, CursorState::Arrow}) {
        SCOPED_TRACE(before == CursorState::Hourglass ? "hourglass before" : "arrow before");
        ASSERT_EQ(DrainOverrides(), 0);
        RestoreCursor(before);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
            box->buttons().front()->click();
        });
        ShowMessageBox(QStringLiteral("Energy register(s) restarted."), QStringLiteral("Message"),
                       BoxIcon::Information);
        EXPECT_TRUE(seen);
        EXPECT_EQ(CurrentCursor(), before);

        UiRecorder recorder;
        InstallUiRecorder(&recorder);
        ShowMessageBox(QStringLiteral("recorded"), QStringLiteral("Message"), BoxIcon::Information);
        InstallUiRecorder(nullptr);
        ASSERT_NE(recorder.lastBox(), nullptr);
        EXPECT_EQ(recorder.lastBox()->cursor, CursorState::Arrow);
        EXPECT_EQ(CurrentCursor(), before);
        EXPECT_EQ(DrainOverrides(), before == CursorState::Hourglass ? 1 : 0);
    }
}

TEST(Pause, BlocksWithoutProcessingEvents)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    Pause(30);
    EXPECT_GE(clock.elapsed(), 30);
    EXPECT_FALSE(ran);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

TEST(Pause, NonPositiveReturnsAtOnce)
{
    QElapsedTimer clock;
    clock.start();
    Pause(0);
    Pause(-1);
    Pause(-2147483647 - 1);
    EXPECT_LT(clock.elapsed(), 20);
}

TEST(Cursor, HourglassAndArrowStates)
{
    ASSERT_EQ(DrainOverrides(), 0);
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    SetHourglassCursor();
    SetHourglassCursor();
    EXPECT_EQ(CurrentCursor(), CursorState::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetDefaultCursor();
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);   // an arrow override still reads as the arrow
    EXPECT_EQ(CurrentCursor(), CursorState::Arrow);
    SetHourglassCursor();
    EXPECT_EQ(DrainOverrides(), 1);
}

TEST(Cursor, RestoreReturnsToTheRememberedState)
{
    ASSERT_EQ(DrainOverrides(), 0);
    const CursorState arrow = CurrentCursor();
    SetHourglassCursor();
    RestoreCursor(arrow);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    SetHourglassCursor();
    const CursorState hourglass = CurrentCursor();
    SetDefaultCursor();   // as a scan does before its own restore
    RestoreCursor(hourglass);
    EXPECT_EQ(CurrentCursor(), CursorState::Hourglass);
    EXPECT_EQ(DrainOverrides(), 1);
}

TEST(Cursor, StackNeverGrowsPastOne)
{
    ASSERT_EQ(DrainOverrides(), 0);
    for (int address = 1; address <= 255; ++address) {
        const CursorState remembered = CurrentCursor();
        SetHourglassCursor();
        if (address % 3 == 0)
            SetDefaultCursor();
        SetHourglassCursor();
        RestoreCursor(address % 2 ? remembered : CursorState::Hourglass);
    }
    const int depth = DrainOverrides();
    EXPECT_LE(depth, 1);
    SetHourglassCursor();
    RestoreCursor(CursorState::Hourglass);
    SetDefaultCursor();
    EXPECT_EQ(DrainOverrides(), 0);
}

}  // namespace
