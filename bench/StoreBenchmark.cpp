// The favourites store with 1,000 and 10,000 items in 100 groups: loading
// from disk, the interface thread's cost of one change, the time until
// that change is on disk, the look at the file before each write, and the
// merge of another program's changes.

#include "platform/PlistCodec.h"
#include "platform/PlistPreferencesStore.h"
#include "platform/RegularFile.h"
#include "platform/StoreFileState.h"
#include "store/FavoritesMerge.h"
#include "store/FavoritesStore.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int groupCount = 100;

QString storePath(const QTemporaryDir &folder)
{
    return folder.filePath(QStringLiteral("preferences.plist"));
}

// Fills a store of itemCount items, spread evenly over the groups; with
// bareTitles, each group's items sit under its bare title, as stores written
// elsewhere keep them.
void fill(const QString &path, int itemCount, bool bareTitles = false)
{
    PlistPreferencesStore preferences(path);
    FavoritesStore favorites(preferences);
    QList<Group> groups;
    for (int g = 0; g < groupCount; ++g) {
        const QString title = QStringLiteral("Group %1").arg(g);
        groups.append(Group(title));
        QList<Item> items;
        for (int i = 0; i < itemCount / groupCount; ++i) {
            Item item = Item::file(QStringLiteral("/home/someone/Documents/Project %1/document-%2.pdf").arg(g).arg(i));
            item.setTitle(QStringLiteral("Document number %1 of group %2.pdf").arg(i).arg(g));
            items.append(favorites.withNewIdentity(item));
        }
        if (bareTitles)
            preferences.setObject(StoredRecords::array(items), title);
        else
            favorites.setItems(title, items);
    }
    favorites.setGroups(groups);
}

// One side's changes to a store's map, each side in groups of its own.
struct FakeSide
{
    explicit FakeSide(const QVariantMap &values)
        : map(values)
    {
    }

    void change(int side, int n)
    {
        const int group = (n * 7 + side * 50) % groupCount;
        const QString key = StoreKeys::itemListPrefix + QStringLiteral("Group %1").arg(group);
        QVariantList list = map.value(key).toList();
        if (list.isEmpty())
            return;
        const int at = (n * 13) % int(list.size());
        QVariantMap item = list.at(at).toMap();
        switch (n % 5) {
        case 0:
            item.insert(RecordKeys::title, QStringLiteral("Renamed by side %1").arg(side));
            list[at] = item;
            break;
        case 1:
            item.insert(RecordKeys::isPin, true);
            list[at] = item;
            break;
        case 2: {
            const qint64 uid = map.value(StoreKeys::uniqueid).toLongLong() + 1;
            map.insert(StoreKeys::uniqueid, uid);
            list.append(QVariantMap{{RecordKeys::title, QStringLiteral("New")},
                                    {RecordKeys::uid, uid},
                                    {RecordKeys::isnormalFile, true},
                                    {RecordKeys::url, QStringLiteral("/tmp/new")}});
            break;
        }
        case 3:
            list.removeAt(at);
            break;
        default: {
            const QString other = StoreKeys::itemListPrefix + QStringLiteral("Group %1").arg((group + 1) % groupCount);
            QVariantList target = map.value(other).toList();
            target.append(list.takeAt(at));
            map.insert(other, target);
            break;
        }
        }
        map.insert(key, list);
    }

    QVariantMap map;
};

void pinFirstItem(FavoritesStore &favorites, bool pinned)
{
    const QString title = QStringLiteral("Group 50");
    QList<Item> items = favorites.items(title);
    items.first().setPinned(pinned);
    favorites.setItems(title, items);
}

void BM_LoadStore(benchmark::State &state)
{
    QTemporaryDir folder;
    fill(storePath(folder), int(state.range(0)));
    for (auto _ : state) {
        PlistPreferencesStore preferences(storePath(folder));
        FavoritesStore favorites(preferences);
        qsizetype loaded = 0;
        for (const QString &title : favorites.groupTitles())
            loaded += favorites.items(title).size();
        if (loaded != state.range(0))
            state.SkipWithError("items missing after load");
    }
}

// A store whose lists sit under the bare group titles: loading it and moving
// the lists to their own keys, as every launch does first.
void BM_LoadDefinedFormat(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString original = folder.filePath(QStringLiteral("defined.plist"));
    fill(original, int(state.range(0)), true);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(storePath(folder));
        QFile::copy(original, storePath(folder));
        state.ResumeTiming();
        PlistPreferencesStore preferences(storePath(folder));
        FavoritesStore favorites(preferences);
        favorites.adoptBareTitleItemLists();
        if (favorites.items(QStringLiteral("Group 99")).size() != state.range(0) / groupCount)
            state.SkipWithError("items missing after load");
        state.PauseTiming();
        preferences.flush(); // the write runs on its own thread; not counted
        state.ResumeTiming();
    }
}

// Pins and unpins an item of a store of state.range(0) items, one change an
// iteration, each written to disk before the next; the write is timed only
// when timeWrite.
void changeItems(benchmark::State &state, bool timeWrite)
{
    QTemporaryDir folder;
    fill(storePath(folder), int(state.range(0)));
    PlistPreferencesStore preferences(storePath(folder));
    FavoritesStore favorites(preferences);
    bool pinned = false;
    for (auto _ : state) {
        pinned = !pinned;
        pinFirstItem(favorites, pinned);
        if (!timeWrite)
            state.PauseTiming();
        preferences.flush();
        if (!timeWrite)
            state.ResumeTiming();
    }
}

// What the interface thread pays for one change: read the group's items,
// change one, write the list back (the disk write happens elsewhere, and
// each change is measured against an idle writer).
void BM_ItemChangeOnInterfaceThread(benchmark::State &state)
{
    changeItems(state, false);
}

// From the change until its bytes are on disk (written, fsynced, renamed).
void BM_ItemChangeUntilOnDisk(benchmark::State &state)
{
    changeItems(state, true);
}

// The look at the file before a write, when nothing changed it: written
// long enough ago that its time tells (the usual case), or just now, when
// only its bytes do.
void BM_CheckBeforeWrite(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = storePath(folder);
    fill(path, int(state.range(0)));
    const bool justWritten = state.range(1) != 0;
    if (!justWritten) {
        const timespec hourAgo{::time(nullptr) - 3600, 0};
        const timespec times[2] = {hourAgo, hourAgo};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    StoreFileState known;
    known.target = path;
    known.version = RegularFile::read(path, largestStoreFile).version;
    for (auto _ : state) {
        if (!known.fileIsUnchanged())
            state.SkipWithError("the unchanged file counted as changed");
        if (justWritten)
            known.version.takenAt = known.version.modifiedSeconds * 1'000'000'000 + known.version.modifiedNanoseconds;
    }
}

// Two versions of a store of itemCount items, each with 100 changes of its
// own since their common base (renames, pins, items added, removed and
// moved); theirs as read from its file, sharing nothing with the others.
void BM_MergeTwoStores(benchmark::State &state)
{
    QTemporaryDir folder;
    fill(storePath(folder), int(state.range(0)));
    QFile file(storePath(folder));
    file.open(QIODevice::ReadOnly);
    const QVariantMap base = PlistCodec::parse(file.readAll()).value_or(QVariant()).toMap();
    const auto changed = [&](int side) {
        FakeSide values(base);
        for (int change = 0; change < 100; ++change)
            values.change(side, change);
        return values.map;
    };
    const QVariantMap ours = changed(0);
    const QVariantMap theirs = PlistCodec::parse(PlistCodec::toBinary(changed(1)))->toMap();
    for (auto _ : state) {
        const PreferencesMerge::Outcome outcome = FavoritesMerge::merge(base, ours, theirs);
        benchmark::DoNotOptimize(outcome.merged.size());
    }
}

BENCHMARK(BM_LoadStore)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_LoadDefinedFormat)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
// A fixed count: every iteration also waits, untimed, for the writer to go idle.
BENCHMARK(BM_ItemChangeOnInterfaceThread)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(50)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_ItemChangeUntilOnDisk)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_CheckBeforeWrite)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_MergeTwoStores)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
