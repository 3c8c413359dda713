// The popup under a real Wayland compositor (weston, headless), with another
// client to take the focus from it.

#include "PopupClient.h"
#include "support/WestonSession.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace {

class WaylandPopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (WestonSession::westonProgram().isEmpty())
            GTEST_SKIP() << "weston is not installed (Debian package weston)";
        ASSERT_TRUE(weston.start(QStringLiteral(BRIMBLE_WESTON_TEST_SEAT))) << weston.log().toStdString();
        popup = std::make_unique<PopupClient>(weston.clientEnvironment());
        ASSERT_FALSE(popup->waitFor(QStringLiteral("style compositorPlaced")).empty()) << diagnosis();
    }
    void TearDown() override
    {
        if (HasFailure())
            std::cerr << diagnosis() << std::endl;
        other.reset();
        popup.reset();
    }

    // Sends command to the popup and tells whether it then wrote line.
    bool sendAndWaitFor(const char *command, const QString &line)
    {
        const qsizetype from = popup->lines.size();
        popup->send(command);
        return !popup->waitFor(line, from).empty();
    }
    // Runs command, which opens one of the popup's own windows as a user's
    // click would: a key is held meanwhile, so that the window may grab.
    // The state that follows, once the compositor has taken the grab or
    // refused it.
    std::string openOwnWindow(const char *command, const QString &window)
    {
        const qsizetype from = popup->lines.size();
        weston.pressKey(KEY_LEFTSHIFT);
        const bool pressed = !popup->waitFor(QStringLiteral("key %1").arg(Qt::Key_Shift), from).empty();
        const bool opened = pressed && sendAndWaitFor(command, QStringLiteral("opened ") + window);
        const std::string state = opened ? popup->state() : diagnosis();
        weston.releaseKey(KEY_LEFTSHIFT);
        return state;
    }
    // Starts the other client, which takes the focus; tells whether the popup then closed.
    bool otherClientClosesThePopup()
    {
        const qsizetype from = popup->lines.size();
        other = std::make_unique<PopupClient>(weston.clientEnvironment(), QStringList{QStringLiteral("other")});
        return !other->waitFor(QStringLiteral("focus otherWindow")).empty()
               && !popup->waitFor(QStringLiteral("hidden"), from).empty();
    }
    std::string diagnosis()
    {
        QString text = QStringLiteral("popup wrote:\n") + popup->lines.join(u'\n') + u'\n' + popup->errors();
        if (other)
            text += QStringLiteral("\nother wrote:\n") + other->lines.join(u'\n') + u'\n' + other->errors();
        return QString(text + QStringLiteral("\nweston:\n") + weston.log()).toStdString();
    }

    WestonSession weston;
    std::unique_ptr<PopupClient> popup;
    std::unique_ptr<PopupClient> other;
};

TEST_F(WaylandPopupTest, OpensOverItsManagerWindowAsAnUndecoratedWindowClosesWhenAnotherClientTakesTheFocus)
{
    // The manager window has the focus and was typed in: a parentless
    // popup would open as a popup of that window and be dismissed at once.
    ASSERT_TRUE(sendAndWaitFor("window", QStringLiteral("focus managerWindow"))) << diagnosis();
    weston.typeKey(KEY_LEFTSHIFT);
    ASSERT_FALSE(popup->waitFor(QStringLiteral("key %1").arg(Qt::Key_Shift)).empty()) << diagnosis();
    ASSERT_TRUE(sendAndWaitFor("show", QStringLiteral("focus ViewController"))) << diagnosis();
    EXPECT_EQ(popup->state(), "state shown frameless=1 popup=0 open=managerWindow");
    EXPECT_TRUE(otherClientClosesThePopup()) << diagnosis();

    // Shown again, it takes the focus back; the tray icon or the shortcut closes it.
    ASSERT_TRUE(sendAndWaitFor("show", QStringLiteral("focus ViewController"))) << diagnosis();
    EXPECT_TRUE(sendAndWaitFor("toggle", QStringLiteral("hidden"))) << diagnosis();
}

TEST_F(WaylandPopupTest, ItsOwnMenuAndPickerKeepItOpenAnotherClientClosesThemAllEscapeClosesIt)
{
    const std::string shownWith = "state shown frameless=1 popup=0 open=";
    ASSERT_TRUE(sendAndWaitFor("show", QStringLiteral("focus ViewController"))) << diagnosis();
    // The colour-tag picker has no parent window: it opens from the popup,
    // which has the focus, and stays open until a swatch is picked.
    EXPECT_EQ(openOwnWindow("picker", QStringLiteral("selectTagvc")), shownWith + "selectTagvc");
    popup->send("pick");
    EXPECT_EQ(popup->state(), shownWith + "none");

    EXPECT_EQ(openOwnWindow("settings-menu", QStringLiteral("settingsMenu")), shownWith + "settingsMenu");
    EXPECT_TRUE(otherClientClosesThePopup()) << diagnosis();
    EXPECT_EQ(popup->state(), "state hidden frameless=1 popup=0 open=none");

    ASSERT_TRUE(sendAndWaitFor("show", QStringLiteral("focus ViewController"))) << diagnosis();
    const qsizetype beforeEscape = popup->lines.size();
    weston.typeKey(KEY_ESC);
    EXPECT_FALSE(popup->waitFor(QStringLiteral("hidden"), beforeEscape).empty()) << diagnosis();
}

} // namespace
