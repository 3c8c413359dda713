// The favourites in the desktop's search: GNOME Shell's search provider,
// called over a private bus run by dbus-daemon as the shell calls it, from
// a connection of its own.

#include "app/DesktopSearch.h"
#include "app/DesktopSearchService.h"
#include "platform/DBusSearchTypes.h"
#include "quicklist/ItemOpener.h"

#include "support/BusCall.h"
#include "support/FavoritesFixture.h"
#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QImage>
#include <QTest>

namespace {

class DesktopSearchTest : public FavoritesFixture
{
protected:
    DesktopSearchTest()
    {
        registerDBusSearchTypes();
        EXPECT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
        iconPath = supportFiles.newFilePath(u".png"_qs);
        QDir().mkpath(supportFiles.folder());
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        picture.save(iconPath, "PNG");
        storeGroup(Group(u"Work"_qs), {fileItem(u"Report.pdf"_qs, 1, u"/docs/Report.pdf"_qs),
                                       bookmark(u"Tracker"_qs, 2, u"reports.example.org"_qs, iconPath),
                                       note(u"Report notes"_qs, 3, u"/notes/3.txt"_qs)});
        storeGroup(Group(u"Home"_qs),
                   {colorItem(u"Report red"_qs, 4, u"FF0000"_qs), fileItem(u"Reports"_qs, 5, folder.path()),
                    fileItem(u"Report 6"_qs, 6, u"/6"_qs)});
        service.start();
        // The bus hands the name over once the service asked for it.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return client.interface()->isServiceRegistered(QString::fromLatin1(DesktopSearchService::serviceName));
            },
            10000));
    }
    ~DesktopSearchTest() override { QDBusConnection::disconnectFromBus(u"brimble"_qs); }

    // Calls method of the shell's interface as a client process would, and
    // waits for the answer while the service answers on this thread.
    QDBusMessage shell(const char *method, const QVariantList &arguments)
    {
        const QDBusMessage reply = callOverBus(client, QString::fromLatin1(DesktopSearchService::serviceName),
                                               DesktopSearchService::shellObjectPath, "org.gnome.Shell.SearchProvider2",
                                               method, arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method << " " << reply.errorMessage().toStdString();
        return reply;
    }
    template<typename T>
    static T first(const QDBusMessage &reply)
    {
        return qdbus_cast<T>(reply.arguments().value(0));
    }

    PrivateBus bus;
    QDBusConnection client = bus.client();
    QString iconPath;
    DesktopSearch search{favorites, supportFiles};
    ItemOpener opener{supportFiles, desktop.services()};
    QStringList launched;
    DesktopSearchService service{QDBusConnection::connectToBus(bus.address, u"brimble"_qs), search, opener,
                                 [this](const QString &text) { launched.append(text); }};
};

TEST_F(DesktopSearchTest, TheShellFindsDescribesOpensAndHandsTheSearchOver)
{
    // At most the best few: titles first, then what only an address or path
    // holds, each in the popup's order; a colour is found by its title only.
    const auto ids = [&](const QStringList &terms) {
        return first<QStringList>(shell("GetInitialResultSet", {terms}));
    };
    EXPECT_EQ(ids({u"REPORT"_qs}), QStringList({u"1"_qs, u"3"_qs, u"4"_qs, u"5"_qs, u"6"_qs}));
    EXPECT_EQ(ids({u"REPORTS"_qs}), QStringList({u"5"_qs, u"2"_qs}));
    EXPECT_EQ(first<QStringList>(
                  shell("GetSubsearchResultSet", {QStringList{u"1"_qs, u"3"_qs}, QStringList{u"report"_qs, u"n"_qs}})),
              QStringList{u"3"_qs})
        << "the terms are searched as typed into the popup, joined";
    EXPECT_EQ(ids({u"ff0000"_qs}), QStringList());
    EXPECT_EQ(ids({}), QStringList());

    const QList<QVariantMap> metas = first<QList<QVariantMap>>(
        shell("GetResultMetas", {QStringList{u"1"_qs, u"2"_qs, u"4"_qs, u"5"_qs, u"999"_qs}}));
    ASSERT_EQ(metas.size(), 4) << "an item gone since is left out";
    EXPECT_EQ(metas.at(0).value(u"name"_qs), u"Report.pdf"_qs);
    EXPECT_EQ(metas.at(0).value(u"description"_qs), u"Work"_qs);
    EXPECT_TRUE(metas.at(0).value(u"gicon"_qs).toString().startsWith(u". GThemedIcon application-pdf "_qs))
        << "a file shows its type's icon";
    EXPECT_EQ(metas.at(1).value(u"gicon"_qs), iconPath) << "a bookmark shows its favicon";
    EXPECT_EQ(metas.at(3).value(u"gicon"_qs), u"folder"_qs);
    const DBusIconData swatch = qdbus_cast<DBusIconData>(metas.at(2).value(u"icon-data"_qs));
    ASSERT_EQ(swatch.data.size(), qsizetype(swatch.rowStride) * swatch.height);
    const qsizetype middle = qsizetype(swatch.rowStride) * (swatch.height / 2) + (swatch.width / 2) * 4;
    EXPECT_EQ(swatch.data.mid(middle, 4), QByteArray("\xff\x00\x00\xff", 4)) << "a colour shows its swatch";

    shell("ActivateResult", {u"2"_qs, QStringList{u"report"_qs}, 0u});
    shell("ActivateResult", {u"4"_qs, QStringList{u"report"_qs}, 0u});
    shell("ActivateResult", {u"999"_qs, QStringList{u"report"_qs}, 0u});
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>{QUrl(u"http://reports.example.org"_qs)})
        << "opened as a click in the popup";
    EXPECT_EQ(desktop.clipboard.text(), u"#FF0000"_qs);

    shell("LaunchSearch", {QStringList{u"my"_qs, u"doc"_qs}, 0u});
    EXPECT_EQ(launched, QStringList{u"my doc"_qs});
}

} // namespace
