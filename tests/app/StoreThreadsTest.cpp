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
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int groups = 4;

QString listKey(int group)
{
    return QStringLiteral("items:Group %1").arg(group);
}

QVariantList records(int group)
{
    QVariantList list;
    for (int n = 0; n < 300; ++n)
        list.append(QVariantMap{{"title", QStringLiteral("Item %1.%2").arg(group).arg(n)}, {"uid", qint64(n)}});
    return list;
}

// Long lists of records, which a binary file keeps unbuilt until they are
// asked for: then both threads may build them from the same bytes.
class PreferencesThreadsTest : public ::testing::Test
{
protected:
    PreferencesThreadsTest()
    {
        PlistPreferencesStore store(path);
        for (int group = 0; group < groups; ++group)
            store.setObject(records(group), listKey(group));
        EXPECT_TRUE(store.flush());
    }

    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("preferences.plist"));
};

TEST_F(PreferencesThreadsTest, ChangesAndReadsGoOnWhileTheWriterWrites)
{
    {
        PlistPreferencesStore store(path, std::chrono::milliseconds(10));
        for (int round = 0; round < 120; ++round) {
            const QString list = listKey(round / 4 % groups);
            store.setInteger(round, QStringLiteral("round"));
            if (round % 4 == 0) { // a list the writer may be building from the file's bytes
                EXPECT_EQ(store.objectForKey(list).toList().size(), 300);
            } else if (round % 4 == 1) {
                store.applyChanges({{QStringLiteral("note"), QStringLiteral("round %1").arg(round)}}, {});
            } else if (round % 4 == 2) { // a list moved whole while a snapshot holds it
                store.moveObjects({{list, QStringLiteral("moving")}});
                store.moveObjects({{QStringLiteral("moving"), list}});
            } else if (round % 20 == 3) {
                EXPECT_TRUE(store.flush()) << round;
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

TEST_F(PreferencesThreadsTest, AFailedWriteIsReportedOnThisThread)
{
    PlistPreferencesStore store(path, std::chrono::milliseconds(10));
    QList<QThread *> reportedOn;
    store.setSaveFailureHandler([&] { reportedOn.append(QThread::currentThread()); });
    // A folder where the temporary file goes makes every write fail.
    const QString blocker = AtomicFile::temporaryPathFor(path, QCoreApplication::applicationPid());
    QDir().mkpath(blocker + QStringLiteral("/inside"));
    store.setInteger(0, QStringLiteral("count"));
    ASSERT_TRUE(processUntil([&] { return !reportedOn.isEmpty(); }));
    EXPECT_EQ(reportedOn, QList<QThread *>{QThread::currentThread()});
    QDir(blocker).removeRecursively();
}

TEST_F(PreferencesThreadsTest, AFileReadAheadOnAnotherThreadIsTakenOverWholeOrEndsWithItsOwner)
{
    for (int launch = 0; launch < 4; ++launch) {
        StoreReadAhead readAhead(path);
        // What launch does meanwhile on this thread: Qt objects, strings, values.
        QObject application;
        application.setObjectName(QStringLiteral("launch %1").arg(launch));
        const QVariantMap unrelated{{"name", application.objectName()}, {"list", records(launch)}};
        if (launch == 3)
            continue; // a launch that ends early (another Brimble answered) never takes it
        readAhead.applicationCreated();

        PlistPreferencesStore store(path, std::chrono::seconds(1), readAhead.take());
        EXPECT_EQ(store.loadProblem(), PlistPreferencesStore::LoadProblem::none);
        for (int group = 0; group < groups; ++group)
            EXPECT_EQ(store.objectForKey(listKey(group)).toList(), records(group)) << launch;
        EXPECT_EQ(store.integerForKey(QStringLiteral("launch")), launch > 0 ? std::optional(launch - 1) : std::nullopt);
        store.setInteger(launch, QStringLiteral("launch"));
        EXPECT_TRUE(store.flush());
    }
}

} // namespace
