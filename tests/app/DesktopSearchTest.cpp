// The favourites in the desktop's search: GNOME Shell's search provider and
// KRunner's runner, called over a private bus run by dbus-daemon as the
// shell and KRunner call them, from a connection of their own.

#include "app/DesktopSearch.h"
#include "app/DesktopSearchService.h"
#include "platform/DBusSearchTypes.h"
#include "quicklist/ItemOpener.h"

#include "store/TextKeys.h"
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
                   {colorItem(u"Report red"_qs, 4, u"FF0000"_qs), fileItem(u"Reports"_qs, 5, folder.path())});
        service.start();
        // The bus hands the name over once the service asked for it.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return client.interface()->isServiceRegistered(QString::fromLatin1(DesktopSearchService::serviceName));
            },
            10000));
    }
    ~DesktopSearchTest() override { QDBusConnection::disconnectFromBus(u"brimble"_qs); }

    // Calls method on the object at path as a client process would, and
    // waits for the answer while the service answers on this thread.
    QDBusMessage call(const char *path, const char *interface, const char *method, const QVariantList &arguments)
    {
        const QDBusMessage reply = callOverBus(client, QString::fromLatin1(DesktopSearchService::serviceName), path,
                                               interface, method, arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method << " " << reply.errorMessage().toStdString();
        return reply;
    }
    QDBusMessage shell(const char *method, const QVariantList &arguments)
    {
        return call(DesktopSearchService::shellObjectPath, "org.gnome.Shell.SearchProvider2", method, arguments);
    }
    QDBusMessage runner(const char *method, const QVariantList &arguments = {})
    {
        return call(DesktopSearchService::runnerObjectPath, "org.kde.krunner1", method, arguments);
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
    // Titles first, then what only an address or path holds, each in the
    // popup's order; a colour is found by its title only.
    const auto ids = [&](const QStringList &terms) {
        return first<QStringList>(shell("GetInitialResultSet", {terms}));
    };
    EXPECT_EQ(ids({u"REPORT"_qs}), QStringList({u"1"_qs, u"3"_qs, u"4"_qs, u"5"_qs, u"2"_qs}));
    EXPECT_EQ(first<QStringList>(
                  shell("GetSubsearchResultSet", {QStringList{u"1"_qs, u"3"_qs}, QStringList{u"report"_qs, u"n"_qs}})),
              QStringList{u"3"_qs})
        << "the terms are searched as typed into the popup, joined";
    EXPECT_EQ(ids({u"ff0000"_qs}), QStringList());
    EXPECT_EQ(ids({}), QStringList());

    // At most the best few.
    QList<Item> many;
    for (int i = 0; i < 8; ++i)
        many.append(fileItem(u"Report %1"_qs.arg(i), 10 + i, u"/docs/%1"_qs.arg(i)));
    storeGroup(Group(u"More"_qs), many);
    EXPECT_EQ(ids({u"report"_qs}).size(), DesktopSearch::maximumResults);
    EXPECT_FALSE(ids({u"report"_qs}).contains(u"2"_qs)) << "title matches come first";

    const QList<QVariantMap> metas = first<QList<QVariantMap>>(
        shell("GetResultMetas", {QStringList{u"1"_qs, u"2"_qs, u"4"_qs, u"5"_qs, u"999"_qs}}));
    ASSERT_EQ(metas.size(), 4) << "an item gone since is left out";
    EXPECT_EQ(metas.at(0).value(u"id"_qs), u"1"_qs);
    EXPECT_EQ(metas.at(0).value(u"name"_qs), u"Report.pdf"_qs);
    EXPECT_EQ(metas.at(0).value(u"description"_qs), u"Work"_qs);
    EXPECT_TRUE(metas.at(0).value(u"gicon"_qs).toString().startsWith(u". GThemedIcon application-pdf "_qs))
        << "a file shows its type's icon";
    EXPECT_EQ(metas.at(1).value(u"gicon"_qs), iconPath) << "a bookmark shows its favicon";
    EXPECT_EQ(metas.at(3).value(u"gicon"_qs), u"folder"_qs);
    const DBusIconData swatch = qdbus_cast<DBusIconData>(metas.at(2).value(u"icon-data"_qs));
    ASSERT_GT(swatch.height, 0);
    EXPECT_EQ(swatch.data.size(), qsizetype(swatch.rowStride) * swatch.height);
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

TEST_F(DesktopSearchTest, KRunnerMatchesOffersTheActionsThatApplyAndRunsThem)
{
    QStringList actions;
    for (const KRunnerAction &action : first<QList<KRunnerAction>>(runner("Actions")))
        actions.append(action.id + u'=' + action.text);
    EXPECT_EQ(actions, QStringList({u"open="_qs + LocalizedText(Text::openAction),
                                    u"reveal="_qs + LocalizedText(Text::showInFileManager)}));

    const QList<KRunnerMatch> matches = first<QList<KRunnerMatch>>(runner("Match", {u"report red"_qs}));
    ASSERT_EQ(matches.size(), 1);
    EXPECT_EQ(matches.at(0).text, u"Report red"_qs);
    EXPECT_EQ(matches.at(0).type, 100) << "the whole title";
    EXPECT_EQ(matches.at(0).properties.value(u"subtext"_qs), u"Home"_qs);
    EXPECT_TRUE(matches.at(0).properties.contains(u"icon-data"_qs));

    const QList<KRunnerMatch> found = first<QList<KRunnerMatch>>(runner("Match", {u"report"_qs}));
    // In the shell's order: 1, 3, 4, 5, 2.
    QList<QStringList> offered;
    for (const KRunnerMatch &match : found)
        offered.append(match.properties.value(u"actions"_qs).toStringList());
    const QStringList both{u"open"_qs, u"reveal"_qs};
    EXPECT_EQ(offered, QList<QStringList>({both, both, {}, both, {u"open"_qs}}));
    EXPECT_GT(found.at(0).relevance, found.at(4).relevance);
    EXPECT_EQ(found.at(0).iconName, u"application-pdf"_qs);
    EXPECT_TRUE(found.at(4).properties.contains(u"icon-data"_qs)) << "the favicon, as pixels";
    EXPECT_TRUE(first<QList<KRunnerMatch>>(runner("Match", {u"nothing like it"_qs})).isEmpty());

    runner("Run", {u"1"_qs, QString()});
    runner("Run", {u"3"_qs, u"reveal"_qs});
    runner("Run", {u"2"_qs, u"reveal"_qs});
    runner("Run", {u"999"_qs, QString()});
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>{QUrl::fromLocalFile(u"/docs/Report.pdf"_qs)});
    EXPECT_EQ(desktop.revealer.revealed, QStringList{u"/notes/3.txt"_qs}) << "a bookmark is no file to show";
}

} // namespace
