#include "platform/DBusFilePreviewer.h"

#include "support/TestFolders.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace {

const QString previewerName = QStringLiteral("org.gnome.NautilusPreviewer");

// Stands in for GNOME's previewer on a private bus.
class FakeSushi final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.NautilusPreviewer")

public:
    QStringList shown;
    bool closeIfShown = false;

public Q_SLOTS:
    void ShowFile(const QString &uri, int, bool close)
    {
        shown.append(uri);
        closeIfShown = close;
    }
};

// Runs the event loop until done() holds or a few seconds have passed.
template <typename Done>
bool waitFor(Done done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A private dbus-daemon that knows no services of the machine.
class PrivateBus
{
public:
    explicit PrivateBus(const TestFolder &folder)
    {
        const QString config = folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                                  "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\"><busconfig>"
                                  "<type>session</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>"
                                  "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                       .arg(folder.filePath(QStringLiteral("bus")))
                       .toUtf8());
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (m_daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    QString address;

private:
    QProcess m_daemon;
};

void askThePreviewer(const QString &address);

TEST(FilePreviewerTest, AsksThePreviewerOnTheBusOnlyWhenItIsThere)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TestFolder folder;
    PrivateBus bus(folder);
    ASSERT_FALSE(bus.address.isEmpty());
    askThePreviewer(bus.address);
    // Every copy of the connections is gone: they can be closed.
    QDBusConnection::disconnectFromBus(QStringLiteral("previewer-client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("previewer-service"));
}

void askThePreviewer(const QString &address)
{
    QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("previewer-client"));
    QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("previewer-service"));
    ASSERT_TRUE(client.isConnected() && service.isConnected());

    DBusFilePreviewer previewer(client);
    EXPECT_FALSE(previewer.toggleFile(QStringLiteral("/home/u/a b.png"), nullptr));

    FakeSushi sushi;
    ASSERT_TRUE(service.registerService(previewerName));
    int refusals = 0;
    EXPECT_TRUE(previewer.toggleFile(QStringLiteral("/home/u/a b.png"), [&refusals] { ++refusals; }));
    EXPECT_TRUE(waitFor([&refusals] { return refusals == 1; })) << "no previewer object yet: the call fails";

    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/gnome/NautilusPreviewer"), &sushi,
                                       QDBusConnection::ExportAllSlots));
    EXPECT_TRUE(previewer.toggleFile(QStringLiteral("/home/u/a b.png"), [&refusals] { ++refusals; }));
    ASSERT_TRUE(waitFor([&sushi] { return !sushi.shown.isEmpty(); }));
    EXPECT_EQ(sushi.shown, QStringList{"file:///home/u/a%20b.png"});
    EXPECT_TRUE(sushi.closeIfShown);
    EXPECT_EQ(refusals, 1);
}

} // namespace

#include "FilePreviewerTest.moc"
