// The checks of "&Read", "R&eset" and "C&onfiguration" before anything is sent.
#include "tests/main/MainFixture.h"

#include <QApplication>
#include <QPushButton>

using AddressChecks = MainFixture;

TEST_F(AddressChecks, ReadRefusesBadAddressesAndSendsNothing)
{
    struct Case {
        const char* address;
        const char* text;
        const char* title;
        BoxIcon icon;
    } cases[] = {
        {"", "Type the device address.", "Warning", BoxIcon::Warning},
        {"12a", "Device address incorrect", "Error", BoxIcon::Critical},
        {" 1", "Device address incorrect", "Error", BoxIcon::Critical},
        {"0x10", "Device address incorrect", "Error", BoxIcon::Critical},
        {"0", "Device address must be between 1 and 255", "Error", BoxIcon::Critical},
        {"256", "Device address must be between 1 and 255", "Error", BoxIcon::Critical},
        {"-1", "Device address must be between 1 and 255", "Error", BoxIcon::Critical},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        ui.clear();
        FormMain->ButtonStop->setFocus();
        Read(c.address);
        ASSERT_EQ(ui.boxes(), 1);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_EQ(ui.events.front().kind, UiEvent::Beep);
        EXPECT_EQ(ui.lastBox()->text, c.text);
        EXPECT_EQ(ui.lastBox()->title, c.title);
        EXPECT_EQ(ui.lastBox()->icon, c.icon);
        EXPECT_TRUE(line.frames().empty());
        EXPECT_EQ(FormMain->focusWidget(), FormMain->EditEnd);
        EXPECT_TRUE(FormMain->ButtonRead->isEnabled());
    }
}

TEST_F(AddressChecks, ResetAndConfigurationNeedAnAddress)
{
    struct Case {
        QPushButton* button;
        const char* title;
    } cases[] = {{FormMain->ButtonResetCounter, "Message"}, {FormMain->ButtonConfiguration, "Warning"}};
    for (const Case& c : cases) {
        ui.clear();
        FormMain->EditEnd->clear();
        FormMain->ButtonStop->setFocus();
        // The configuration button is hidden in use, so its handler is called directly.
        if (c.button == FormMain->ButtonConfiguration)
            FormMain->ButtonConfigurationClick();
        else
            c.button->click();
        ASSERT_EQ(ui.boxes(), 1);
        EXPECT_EQ(ui.beeps(), 1);
        EXPECT_EQ(ui.lastBox()->text, "Type the device address.");
        EXPECT_EQ(ui.lastBox()->title, c.title);
        EXPECT_EQ(ui.lastBox()->icon, BoxIcon::Warning);
        EXPECT_EQ(FormMain->focusWidget(), FormMain->EditEnd);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}
