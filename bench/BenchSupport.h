#pragma once

#include "platform/FakeDesktopServices.h"
#include "platform/PlistPreferencesStore.h"
#include "quicklist/ColorTagPicker.h"
#include "quicklist/PopupWindow.h"
#include "store/FavoritesStore.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

// Item index of group, every kind in turn; the files are not there, as for
// items whose files were moved away.
inline Item benchItem(FavoritesStore &favorites, int group, int index)
{
    const QString title = QStringLiteral("Item %1 of group %2").arg(index).arg(group);
    switch (index % 4) {
    case 0: {
        Item file = Item::file(QStringLiteral("/home/someone/Projects/p%1/file-%2.pdf").arg(group).arg(index));
        file.setTitle(title);
        return favorites.withNewIdentity(file);
    }
    case 1:
        return favorites.withNewIdentity(
            Item::bookmark(title, QStringLiteral("www.example%1.org/page/%2").arg(group).arg(index),
                           QStringLiteral("/nonexistent/%1.png").arg(index)));
    case 2:
        return favorites.withNewIdentity(Item::note(title, QStringLiteral("/nonexistent/%1.txt").arg(index)));
    default:
        return favorites.withNewIdentity(Item::color(title, QStringLiteral("47CE64")));
    }
}

// A preferences file in a temporary folder holding groupCount groups
// ("Group 0", ...), itemsIn(g) items in group g, with the services the popup
// works with.
struct BenchStore
{
    BenchStore(int groupCount, const std::function<int(int group)> &itemsIn)
        : preferences(folder.filePath(QStringLiteral("preferences.plist")))
        , supportFiles(folder.filePath(QStringLiteral("support")), favorites)
    {
        QList<Group> groups;
        for (int g = 0; g < groupCount; ++g) {
            const QString title = QStringLiteral("Group %1").arg(g);
            groups.append(Group(title));
            QList<Item> items;
            for (int i = 0; i < itemsIn(g); ++i)
                items.append(benchItem(favorites, g, i));
            favorites.setItems(title, items);
        }
        favorites.setGroups(groups);
    }

    QuickListServices quickListServices()
    {
        return {favorites, preferences, sortSettings, supportFiles, links, desktop.services(), picker};
    }

    QTemporaryDir folder;
    PlistPreferencesStore preferences;
    FavoritesStore favorites{preferences};
    SortSettings sortSettings;
    SupportFiles supportFiles;
    ViewLinks links;
    FakeDesktopServices desktop;
    ColorTagPicker picker;
};

// Notes when a window is exposed.
class ExposeWatch final : public QObject
{
public:
    bool exposed = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose)
            exposed = true;
        return false;
    }
};

// How the benchmarks here run: five times, reporting the aggregates in
// milliseconds.
inline void fiveRuns(benchmark::internal::Benchmark *run)
{
    run->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

// The same for a benchmark that times itself (until a frame is out).
inline void fiveSelfTimedRuns(benchmark::internal::Benchmark *run)
{
    fiveRuns(run->UseManualTime());
}

// The main() of a benchmark program with widgets: the offscreen platform
// unless another is asked for, XDG folders of its own, then the benchmarks.
// setUp runs once the application exists, tearDown before it ends.
inline int runWidgetBenchmarks(int argc, char **argv, const std::function<void()> &setUp,
                               const std::function<void()> &tearDown)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    setUp();
    benchmark::RunSpecifiedBenchmarks();
    tearDown();
    benchmark::Shutdown();
    return 0;
}
