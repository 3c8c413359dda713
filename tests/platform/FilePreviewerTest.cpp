#include "platform/DBusFilePreviewer.h"

#include "support/PrivateBus.h"
#include "support/ProcessUntil.h"

#include <QDBusConnection>
#include <QFile>
#include <QStandardPaths>
#include <QCoreApplication>

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

void askThePreviewer(const QString &address);

TEST(FilePreviewerTest, AsksThePreviewerOnTheBusOnlyWhenItIsThere)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
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
    EXPECT_TRUE(processUntil([&refusals] { return refusals == 1; })) << "no previewer object yet: the call fails";

    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/gnome/NautilusPreviewer"), &sushi,
                                       QDBusConnection::ExportAllSlots));
    EXPECT_TRUE(previewer.toggleFile(QStringLiteral("/home/u/a b.png"), [&refusals] { ++refusals; }));
    ASSERT_TRUE(processUntil([&sushi] { return !sushi.shown.isEmpty(); }));
    EXPECT_EQ(sushi.shown, QStringList{"file:///home/u/a%20b.png"});
    EXPECT_TRUE(sushi.closeIfShown);
    EXPECT_EQ(refusals, 1);
}

} // namespace

#include "FilePreviewerTest.moc"
