#include "platform/DBusFilePreviewer.h"

#include "support/PrivateBus.h"
#include "support/ProcessUntil.h"

#include <QDBusConnection>

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

TEST(FilePreviewerTest, AsksThePreviewerOnTheBusOnlyWhenItIsThere)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    {
        QDBusConnection client = QDBusConnection::connectToBus(bus.address, QStringLiteral("previewer-client"));
        QDBusConnection service = QDBusConnection::connectToBus(bus.address, QStringLiteral("previewer-service"));
        ASSERT_TRUE(client.isConnected() && service.isConnected());
        DBusFilePreviewer previewer(client);
        const QString file = QStringLiteral("/home/u/a b.png");
        EXPECT_FALSE(previewer.toggleFile(file, nullptr));

        // The name is owned but no previewer object answers yet: the call fails.
        FakeSushi sushi;
        ASSERT_TRUE(service.registerService(previewerName));
        int refusals = 0;
        const auto refused = [&refusals] { ++refusals; };
        EXPECT_TRUE(previewer.toggleFile(file, refused));
        EXPECT_TRUE(processUntil([&refusals] { return refusals == 1; }));

        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/gnome/NautilusPreviewer"), &sushi,
                                           QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(previewer.toggleFile(file, refused));
        ASSERT_TRUE(processUntil([&sushi] { return !sushi.shown.isEmpty(); }));
        EXPECT_EQ(sushi.shown, QStringList{"file:///home/u/a%20b.png"});
        EXPECT_TRUE(sushi.closeIfShown);
        EXPECT_EQ(refusals, 1);
    }
    // Every copy of the connections is gone: they can be closed.
    QDBusConnection::disconnectFromBus(QStringLiteral("previewer-client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("previewer-service"));
}

} // namespace

#include "FilePreviewerTest.moc"
