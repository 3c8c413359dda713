// The threads behind the preferences store: the writer thread, which writes
// snapshots while this thread goes on changing and reading the store, and the
// read-ahead of the file at launch. scripts/sanitize runs this program under
// ThreadSanitizer as well.

#include "app/StoreReadAhead.h"
#include "platform/AtomicFile.h"
#include "platform/PlistPreferencesStore.h"

#include "support/ProcessUntil.h"
#include "support/TestFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int groups = 4;
constexpr int itemsPerGroup = 300;

QString listKey(int group)
{
    return QStringLiteral("items:Group %1").arg(group);
}

QVariantList records(int group)
{
    QVariantList list;
    for (int n = 0; n < itemsPerGroup; ++n)
        list.append(QVariantMap{{"title", QStringLiteral("Item %1.%2").arg(group).arg(n)}, {"uid", qint64(n)}});
    return list;
}

// Long lists of records, which a binary file keeps unbuilt until they are
// asked for: then both threads may build them from the same bytes.
void writeStoreWithLongLists(const QString &path)
{
    PlistPreferencesStore store(path);
    for (int group = 0; group < groups; ++group)
        store.setObject(records(group), listKey(group));
    ASSERT_TRUE(store.flush());
}

class PreferencesThreadsTest : public ::testing::Test
{
protected:
    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("preferences.plist"));
};

TEST_F(PreferencesThreadsTest, ChangesAndReadsGoOnWhileTheWriterWrites)
{
    writeStoreWithLongLists(path);
    {
        PlistPreferencesStore store(path, std::chrono::milliseconds(10));
        for (int round = 0; round < 120; ++round) {
            store.setInteger(round, QStringLiteral("round"));
            switch (round % 4) {
            case 0: // a list the writer may be building from the file's bytes
                EXPECT_EQ(store.objectForKey(listKey(round / 4 % groups)).toList().size(), itemsPerGroup);
                break;
            case 1:
                store.applyChanges({{QStringLiteral("note"), QStringLiteral("round %1").arg(round)}}, {});
                break;
            case 2: // a list moved whole while a snapshot holds it
                store.moveObjects({{listKey(round / 4 % groups), QStringLiteral("moving")}});
                store.moveObjects({{QStringLiteral("moving"), listKey(round / 4 % groups)}});
                break;
            default:
                if (round % 20 == 3) {
                    EXPECT_TRUE(store.flush()) << round;
                }
            }
        }
        store.holdWritesFor(std::chrono::hours(1));
        store.setInteger(120, QStringLiteral("round")); // held, then written as the store goes
    }

    PlistPreferencesStore reopened(path);
    EXPECT_EQ(reopened.integerForKey(QStringLiteral("round")), 120);
    EXPECT_EQ(reopened.objectForKey(QStringLiteral("note")).toString(), QStringLiteral("round 117"));
    for (int group = 0; group < groups; ++group)
        EXPECT_EQ(reopened.objectForKey(listKey(group)).toList(), records(group)) << group;
}

TEST_F(PreferencesThreadsTest, AFailedWriteIsReportedOnThisThreadAndRetriedOnTheWriters)
{
    PlistPreferencesStore store(path, std::chrono::milliseconds(10));
    int reports = 0;
    QThread *reportedOn = nullptr;
    store.setSaveFailureHandler([&] {
        ++reports;
        reportedOn = QThread::currentThread();
    });

    // A folder where the temporary file goes makes every write fail.
    const QString blocker = AtomicFile::temporaryPathFor(path, QCoreApplication::applicationPid());
    QDir().mkpath(blocker + QStringLiteral("/inside"));
    for (int n = 0; n < 20; ++n)
        store.setInteger(n, QStringLiteral("count"));
    ASSERT_TRUE(processUntil([&] { return reports > 0; }));
    EXPECT_EQ(reportedOn, QThread::currentThread());

    // The writer keeps trying on its own while this thread changes more.
    QTimer::singleShot(50, [&] { QDir(blocker).removeRecursively(); });
    for (int n = 20; n < 40; ++n) {
        store.setInteger(n, QStringLiteral("count"));
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(processUntil([&] { return QFileInfo(path).isFile(); }, 60000));
    EXPECT_TRUE(store.flush());
    EXPECT_EQ(PlistPreferencesStore(path).integerForKey(QStringLiteral("count")), 39);
    EXPECT_EQ(reports, 1);
}

TEST_F(PreferencesThreadsTest, AFileReadAheadOnAnotherThreadIsTakenOverWhole)
{
    writeStoreWithLongLists(path);
    for (int launch = 0; launch < 3; ++launch) {
        StoreReadAhead readAhead(path);
        // What launch does meanwhile on this thread: Qt objects, strings, values.
        QObject application;
        application.setObjectName(QStringLiteral("launch %1").arg(launch));
        const QVariantMap unrelated{{"name", application.objectName()}, {"list", records(launch)}};
        readAhead.applicationCreated();

        PlistPreferencesStore store(path, std::chrono::seconds(1), readAhead.take());
        EXPECT_EQ(store.loadProblem(), PlistPreferencesStore::LoadProblem::none);
        for (int group = 0; group < groups; ++group)
            EXPECT_EQ(store.objectForKey(listKey(group)).toList(), records(group)) << launch;
        if (launch > 0) {
            EXPECT_EQ(store.integerForKey(QStringLiteral("launch")), launch - 1);
        }
        store.setInteger(launch, QStringLiteral("launch"));
        EXPECT_TRUE(store.flush());
        EXPECT_EQ(unrelated.value("list").toList().size(), itemsPerGroup);
    }
}

TEST_F(PreferencesThreadsTest, AReadAheadLeftUntakenEndsWithItsOwner)
{
    writeStoreWithLongLists(path);
    // A launch that ends early (another Brimble answered) never takes it.
    for (int launch = 0; launch < 3; ++launch) {
        StoreReadAhead readAhead(path);
        if (launch == 1)
            readAhead.applicationCreated();
    }
    PlistPreferencesStore store(path);
    EXPECT_EQ(store.objectForKey(listKey(0)).toList(), records(0));
}

} // namespace
