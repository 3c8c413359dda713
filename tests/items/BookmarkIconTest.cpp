#include "ItemsFixture.h"
#include "support/LocalHttpServer.h"
#include "support/TestPictures.h"

#include "items/BookmarkAddress.h"
#include "items/ItemEditor.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

TEST(BookmarkAddress, HostTextAndIconAddressFollowTheTypedAddress)
{
    // The removals match case-sensitively, so a capitalised scheme stays.
    const struct
    {
        const char *address;
        const char *host;
    } cases[] = {{"example.com", "example.com"},
                 {"www.example.com", "example.com"},
                 {"http://example.com", "example.com"},
                 {"https://www.example.com", "example.com"},
                 {"http://www.example.com", "example.com"},
                 {"HTTP://example.com", "HTTP://example.com"},
                 {"Https://www.example.com", "Https://example.com"},
                 {"https://www.example.com/docs/intro?lang=fr", "example.com/docs/intro?lang=fr"},
                 {"news.example.com/www.old", "news.example.com/old"}};
    for (const auto &c : cases) {
        EXPECT_EQ(BookmarkAddress::hostText(QString::fromLatin1(c.address)), QLatin1String(c.host)) << c.address;
        EXPECT_EQ(BookmarkAddress::iconAddress(QString::fromLatin1(c.address)).toString(),
                  QStringLiteral("https://www.google.com/s2/favicons?domain=www.") + QLatin1String(c.host))
            << c.address;
    }
}

QByteArray pngBytes()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

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
        const auto stored = favorites.findItem("Work", (*result.item).uid().value_or(-1));
        EXPECT_EQ(stored.value_or(Item()).iconPath(), path);
        EXPECT_TRUE((expectSaved ? saved : failed).wait(5000));
        EXPECT_EQ(saved.size(), expectSaved ? 1 : 0);
        EXPECT_EQ(fetcher.pendingCount(), 0);
        return path;
    }
};

TEST_F(BookmarkIconTest, AServedIconIsWrittenAsPngAndReported)
{
    LocalHttpServer server(200, "image/png", pngBytes());
    testing::internal::CaptureStdout();
    const QString path = addServedBookmark(server.base(), "https://www.example.com/docs", true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File saved\n");
    EXPECT_EQ(server.requestTargets(), QList<QByteArray>({"/s2/favicons?domain=www.example.com/docs"}));
    EXPECT_EQ(QImage(path).size(), QSize(16, 16));
    EXPECT_TRUE(contentOf(path).startsWith("\x89PNG"));
}

TEST_F(BookmarkIconTest, LargeIconsAreScaledDownBeforeTheyAreWrittenAndBombsRefused)
{
    LocalHttpServer large(200, "image/png", TestPictures::largePng(5000, 2500));
    const QString path = addServedBookmark(large.base(), "example.com", true);
    EXPECT_EQ(QImageReader(path).size(), QSize(FaviconFetcher::largestSide, FaviconFetcher::largestSide / 2));

    LocalHttpServer bomb(200, "image/png", TestPictures::pngClaiming(60000, 60000));
    testing::internal::CaptureStdout();
    addServedBookmark(bomb.base(), "example.org", false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(filesInSupportFolder().size(), 1);
}

TEST_F(BookmarkIconTest, ErrorAnswersRefusalsTimeOutsAndNonImagesWriteNothing)
{
    LocalHttpServer missing(404, "image/png", pngBytes());
    LocalHttpServer notAnImage(200, "text/html", "<html>moved</html>");
    testing::internal::CaptureStdout(); // nothing saved, so no "File saved"
    addServedBookmark(missing.base(), "nowhere.invalid", false);
    addServedBookmark(notAnImage.base(), "example.com", false);
    LocalHttpServer closed(200, "image/png", pngBytes());
    const QUrl closedBase = closed.base();
    closed.close();
    addServedBookmark(closedBase, "example.com", false);
    QTcpServer silent; // accepts, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    fetcher.setTimeout(300);
    addServedBookmark(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort())), "example.com", false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(filesInSupportFolder(), QStringList());
    EXPECT_EQ(favorites.items("Work").size(), 4);
}

TEST_F(BookmarkIconTest, AnIconWhoseItemWasRemovedBeforeItArrivedIsNotWritten)
{
    LocalHttpServer server(200, "image/png", pngBytes());
    fetcher.setServiceOverride(server.base());
    QSignalSpy saved(&fetcher, &FaviconFetcher::iconSaved);
    QSignalSpy failed(&fetcher, &FaviconFetcher::iconFailed);
    const Item item = *adder.addBookmark("Work", "Gone soon", "example.com").item;
    supportFiles.removeFilesOf(item);
    favorites.setItems("Work", QList<Item>());
    EXPECT_TRUE(failed.wait(5000));
    EXPECT_EQ(saved.size(), 0);
    EXPECT_TRUE(filesInSupportFolder().isEmpty());
}

TEST_F(BookmarkIconTest, TwoBookmarksOfOneSiteGetTheirOwnFilesAndNoFileIsOverwritten)
{
    LocalHttpServer server(200, "image/png", pngBytes());
    const QString one = addServedBookmark(server.base(), "example.com", true);
    const QString two = addServedBookmark(server.base(), "example.com", true);
    EXPECT_NE(one, two);
    EXPECT_EQ(filesInSupportFolder().size(), 2);

    const QString taken = folder.filePath("12345.png");
    QFile existing(taken);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write("keep me") == 7);
    existing.close();
    QSignalSpy failed(&fetcher, &FaviconFetcher::iconFailed);
    ASSERT_TRUE(fetcher.fetch(QUrl("https://www.google.com/s2/favicons?domain=www.example.com"), taken));
    EXPECT_TRUE(failed.wait(5000));
    EXPECT_EQ(contentOf(taken), QByteArray("keep me"));
}

TEST_F(BookmarkIconTest, ANewAddressKeepsTheOldIconUntilItsOwnHasArrived)
{
    LocalHttpServer server(200, "image/png", pngBytes());
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
    EXPECT_TRUE(QFile::exists(oldIcon));
    EXPECT_EQ(filesInSupportFolder().size(), 1);

    // An icon that arrives takes the old one's place.
    fetcher.setServiceOverride(server.base());
    QSignalSpy saved(&fetcher, &FaviconFetcher::iconSaved);
    ASSERT_TRUE(editor.edit("Work", uid, PanelKind::webBookmark, {"Site", "example.net", {}, {}}).ok());
    EXPECT_EQ(iconNow(), oldIcon) << "until it has arrived";
    EXPECT_TRUE(saved.wait(5000));
    EXPECT_NE(iconNow(), oldIcon);
    EXPECT_TRUE(QFile::exists(iconNow()));
    EXPECT_FALSE(QFile::exists(oldIcon));
    EXPECT_EQ(favorites.findItem("Work", uid)->target(), "example.net");
}

} // namespace
