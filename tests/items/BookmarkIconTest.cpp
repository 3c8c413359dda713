#include "ItemsFixture.h"
#include "support/LocalHttpServer.h"
#include "support/TestPictures.h"

#include "items/BookmarkAddress.h"
#include "items/ItemEditor.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

TEST(BookmarkAddress, HostTextAndIconAddressFollowTheTypedAddress)
{
    // The removals match case-sensitively, so a capitalised scheme stays.
    const std::pair<const char *, const char *> cases[] = {
        {"HTTP://example.com", "HTTP://example.com"},
        {"Https://www.example.com", "Https://example.com"},
        {"https://www.example.com/docs/intro?lang=fr", "example.com/docs/intro?lang=fr"}};
    for (const auto &[address, host] : cases) {
        EXPECT_EQ(BookmarkAddress::hostText(QString::fromLatin1(address)), QLatin1String(host)) << address;
        EXPECT_EQ(BookmarkAddress::iconAddress(QString::fromLatin1(address)).toString(),
                  QStringLiteral("https://www.google.com/s2/favicons?domain=www.") + QLatin1String(host))
            << address;
    }
}

const QByteArray smallPng = TestPictures::largePng(16, 16);

class BookmarkIconTest : public ItemsFixture
{
protected:
    // Adds a bookmark whose icon comes from the server at base and waits for the outcome.
    QString addServedBookmark(const QUrl &base, const QString &address, bool expectSaved)
    {
        fetcher.setServiceOverride(base);
        QSignalSpy saved(&fetcher, &FaviconFetcher::iconSaved);
        QSignalSpy failed(&fetcher, &FaviconFetcher::iconFailed);
        const ItemResult result = adder.addBookmark("Work", "Site", address);
        EXPECT_TRUE(result.ok());
        const QString path = result.item->iconPath();
        // Stored with its icon path before any answer comes.
        EXPECT_EQ(favorites.findItem("Work", result.item->uid().value_or(-1)).value_or(Item()).iconPath(), path);
        EXPECT_TRUE((expectSaved ? saved : failed).wait(5000));
        EXPECT_EQ(saved.size(), expectSaved ? 1 : 0);
        EXPECT_EQ(fetcher.pendingCount(), 0);
        return path;
    }
};

TEST_F(BookmarkIconTest, AServedIconIsWrittenAsPngAndLargeOnesScaledDown)
{
    LocalHttpServer server(200, "image/png", smallPng);
    const QString path = addServedBookmark(server.base(), "https://www.example.com/docs", true);
    EXPECT_EQ(server.requestTargets(), QList<QByteArray>({"/s2/favicons?domain=www.example.com/docs"}));
    EXPECT_EQ(QImage(path).size(), QSize(16, 16));
    EXPECT_TRUE(contentOf(path).startsWith("\x89PNG"));

    LocalHttpServer large(200, "image/png", TestPictures::largePng(5000, 2500));
    const QString scaled = addServedBookmark(large.base(), "example.com", true);
    EXPECT_EQ(QImageReader(scaled).size(), QSize(FaviconFetcher::largestSide, FaviconFetcher::largestSide / 2));
    EXPECT_EQ(filesInSupportFolder().size(), 2);
}

TEST_F(BookmarkIconTest, ErrorAnswersAndTimeOutsWriteNothing)
{
    LocalHttpServer missing(404, "image/png", smallPng);
    addServedBookmark(missing.base(), "nowhere.invalid", false);
    QTcpServer silent; // accepts, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    fetcher.setTimeout(300);
    addServedBookmark(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort())), "example.com", false);
    EXPECT_EQ(filesInSupportFolder(), QStringList());
    EXPECT_EQ(favorites.items("Work").size(), 2);
}

TEST_F(BookmarkIconTest, AnIconNeverWritesOverAFileOrForARemovedItem)
{
    LocalHttpServer server(200, "image/png", smallPng);
    const QString one = addServedBookmark(server.base(), "example.com", true);
    const QString two = addServedBookmark(server.base(), "example.com", true);
    EXPECT_NE(one, two) << "two bookmarks of one site get a file each";

    QSignalSpy saved(&fetcher, &FaviconFetcher::iconSaved);
    QSignalSpy failed(&fetcher, &FaviconFetcher::iconFailed);
    const QString taken = folder.filePath("12345.png");
    QFile existing(taken);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write("keep me") == 7);
    existing.close();
    ASSERT_TRUE(fetcher.fetch(QUrl("https://www.google.com/s2/favicons?domain=www.example.com"), taken));
    EXPECT_TRUE(failed.wait(5000));
    EXPECT_EQ(contentOf(taken), QByteArray("keep me"));

    const Item gone = *adder.addBookmark("Work", "Gone soon", "example.com").item;
    supportFiles.removeFilesOf(gone);
    favorites.setItems("Work", QList<Item>());
    EXPECT_TRUE(failed.wait(5000));
    EXPECT_EQ(saved.size(), 0);
    EXPECT_EQ(filesInSupportFolder().size(), 2);
}

TEST_F(BookmarkIconTest, ANewAddressKeepsTheOldIconUntilItsOwnHasArrived)
{
    LocalHttpServer server(200, "image/png", smallPng);
    const QString oldIcon = addServedBookmark(server.base(), "example.com", true);
    const qint64 uid = favorites.items("Work").value(0).uid().value_or(-1);
    ItemEditor editor(services);
    const auto iconNow = [&] { return favorites.findItem("Work", uid).value_or(Item()).iconPath(); };

    // The network is away: the bookmark keeps the icon it had.
    fetcher.setServiceOverride(QUrl("http://127.0.0.1:9"));
    QSignalSpy failed(&fetcher, &FaviconFetcher::iconFailed);
    ASSERT_TRUE(editor.edit("Work", uid, PanelKind::webBookmark, {"Site", "example.org", {}, {}}).ok());
    EXPECT_TRUE(failed.wait(5000));
    EXPECT_EQ(iconNow(), oldIcon);

    // An icon that arrives takes the old one's place.
    fetcher.setServiceOverride(server.base());
    QSignalSpy saved(&fetcher, &FaviconFetcher::iconSaved);
    ASSERT_TRUE(editor.edit("Work", uid, PanelKind::webBookmark, {"Site", "example.net", {}, {}}).ok());
    EXPECT_EQ(iconNow(), oldIcon) << "until it has arrived";
    EXPECT_TRUE(saved.wait(5000));
    EXPECT_NE(iconNow(), oldIcon);
    EXPECT_EQ(filesInSupportFolder(), QStringList{QFileInfo(iconNow()).fileName()}) << "the old icon is removed";
    EXPECT_EQ(favorites.findItem("Work", uid)->target(), "example.net");
}

} // namespace
