// The popup under a real Wayland compositor (weston, headless), with another
// client to take the focus from it.

#include "support/ProcessUntil.h"
#include "support/WestonSession.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace {

constexpr int generousMs = 30000;

// A client of the compositor: WaylandPopupChild.cpp, as the popup or as the
// other window. Keeps every line it wrote.
class Client
{
public:
    Client(const QProcessEnvironment &environment, const QStringList &arguments = {})
    {
        m_process.setProcessEnvironment(environment);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
        });
        m_process.start(QStringLiteral(BRIMBLE_WAYLAND_POPUP_CHILD), arguments);
    }
    ~Client()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }

    void send(const char *command) { m_process.write(QByteArray(command) + '\n'); }
    // Waits for line, written after the first `from` lines.
    bool waitFor(const QString &line, qsizetype from = 0)
    {
        return processUntil([&] { return m_lines.indexOf(line, from) >= 0; }, generousMs);
    }
    // Sends command and waits for the answer that starts with prefix.
    std::string ask(const char *command, const QString &prefix)
    {
        const qsizetype from = m_lines.size();
        send(command);
        QString answer;
        processUntil(
            [&] {
                for (qsizetype at = from; at < m_lines.size(); ++at) {
                    if (m_lines.at(at).startsWith(prefix))
                        answer = m_lines.at(at);
                }
                return !answer.isEmpty();
            },
            generousMs);
        return answer.toStdString();
    }
    qsizetype lineCount() const { return m_lines.size(); }
    QStringList lines() const { return m_lines; }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    QStringList m_lines;
};

class WaylandPopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (WestonSession::westonProgram().isEmpty())
            GTEST_SKIP() << "weston is not installed (Debian package weston)";
        ASSERT_TRUE(weston.start(QStringLiteral(BRIMBLE_WESTON_TEST_SEAT))) << weston.log().toStdString();
        popup = std::make_unique<Client>(weston.clientEnvironment());
        ASSERT_TRUE(popup->waitFor(QStringLiteral("style compositorPlaced"))) << diagnosis();
    }
    void TearDown() override
    {
        if (HasFailure())
            std::cerr << diagnosis() << std::endl;
        other.reset();
        popup.reset();
    }

    // Shows the popup and waits until the compositor has given it the focus.
    void showActive()
    {
        const qsizetype from = popup->lineCount();
        popup->send("show");
        ASSERT_TRUE(popup->waitFor(QStringLiteral("focus ViewController"), from)) << diagnosis();
    }
    // Runs command, which opens one of the popup's own windows as a user's
    // click would: a key is held meanwhile, so that the window may grab.
    // The state that follows, once the compositor has taken the grab or
    // refused it.
    std::string openOwnWindow(const char *command, const QString &window)
    {
        const qsizetype from = popup->lineCount();
        weston.pressKey(KEY_LEFTSHIFT);
        const bool pressed = popup->waitFor(QStringLiteral("key %1").arg(Qt::Key_Shift), from);
        popup->send(command);
        const bool opened = pressed && popup->waitFor(QStringLiteral("opened ") + window, from);
        const std::string state = opened ? popup->ask("state", QStringLiteral("state")) : diagnosis();
        weston.releaseKey(KEY_LEFTSHIFT);
        return state;
    }
    void startOtherClient()
    {
        other = std::make_unique<Client>(weston.clientEnvironment(), QStringList{QStringLiteral("other")});
        ASSERT_TRUE(other->waitFor(QStringLiteral("focus otherWindow"))) << diagnosis();
    }
    std::string diagnosis()
    {
        QString text = QStringLiteral("popup wrote:\n") + popup->lines().join(u'\n') + u'\n' + popup->errors();
        if (other)
            text += QStringLiteral("\nother wrote:\n") + other->lines().join(u'\n') + u'\n' + other->errors();
        text += QStringLiteral("\nweston:\n") + weston.log();
        return text.toStdString();
    }

    WestonSession weston;
    std::unique_ptr<Client> popup;
    std::unique_ptr<Client> other;
};

TEST_F(WaylandPopupTest, OpensOverItsManagerWindowAsAnUndecoratedWindowClosesWhenAnotherClientTakesTheFocus)
{
    // The manager window has the focus and was typed in: a parentless
    // popup would open as a popup of that window and be dismissed at once.
    popup->send("window");
    ASSERT_TRUE(popup->waitFor(QStringLiteral("focus managerWindow"))) << diagnosis();
    weston.typeKey(KEY_LEFTSHIFT);
    ASSERT_TRUE(popup->waitFor(QStringLiteral("key %1").arg(Qt::Key_Shift))) << diagnosis();
    showActive();
    EXPECT_EQ(popup->ask("state", QStringLiteral("state")), "state shown frameless=1 popup=0 open=managerWindow");

    const qsizetype beforeOther = popup->lineCount();
    startOtherClient();
    EXPECT_TRUE(popup->waitFor(QStringLiteral("hidden"), beforeOther)) << diagnosis();

    // Shown again, it takes the focus back; the tray icon or the shortcut
    // closes it.
    showActive();
    const qsizetype beforeToggle = popup->lineCount();
    popup->send("toggle");
    EXPECT_TRUE(popup->waitFor(QStringLiteral("hidden"), beforeToggle)) << diagnosis();
}

TEST_F(WaylandPopupTest, ItsOwnMenuAndPickerKeepItOpenAnotherClientClosesThemAllEscapeClosesIt)
{
    const std::string shownWith = "state shown frameless=1 popup=0 open=";
    showActive();
    // The colour-tag picker has no parent window: it opens from the popup,
    // which has the focus, and stays open until a swatch is picked.
    EXPECT_EQ(openOwnWindow("picker", QStringLiteral("selectTagvc")), shownWith + "selectTagvc");
    popup->send("pick");
    EXPECT_EQ(popup->ask("state", QStringLiteral("state")), shownWith + "none");

    EXPECT_EQ(openOwnWindow("settings-menu", QStringLiteral("settingsMenu")), shownWith + "settingsMenu");
    const qsizetype beforeOther = popup->lineCount();
    startOtherClient();
    EXPECT_TRUE(popup->waitFor(QStringLiteral("hidden"), beforeOther)) << diagnosis();
    EXPECT_EQ(popup->ask("state", QStringLiteral("state")), "state hidden frameless=1 popup=0 open=none");

    showActive();
    const qsizetype beforeEscape = popup->lineCount();
    weston.typeKey(KEY_ESC);
    EXPECT_TRUE(popup->waitFor(QStringLiteral("hidden"), beforeEscape)) << diagnosis();
}

} // namespace
