// The quick-access popup with 10,000 items in 100 groups, all expanded:
// rebuilding its rows, one search keystroke (filter and model reset), and
// the time from showing the popup to its first expose.

#include "platform/FakeDesktopServices.h"
#include "platform/PlistPreferencesStore.h"
#include "quicklist/QuickListView.h"
#include "quicklist/SelectTagVc.h"
#include "quicklist/ViewController.h"
#include "store/FavoritesStore.h"
#include "store/Records.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int groupCount = 100;
constexpr int itemsPerGroup = 100;

// Every kind of item, in turn.
QVariantMap itemFor(FavoritesStore &favorites, int group, int index)
{
    const QString title = QStringLiteral("Item %1 of group %2").arg(index).arg(group);
    switch (index % 4) {
    case 0:
        return favorites.withNewIdentity({{RecordKeys::title, title},
                                          {RecordKeys::url, QStringLiteral("/home/someone/Projects/p%1/file-%2.pdf").arg(group).arg(index)},
                                          {RecordKeys::isnormalFile, true}});
    case 1:
        return favorites.withNewIdentity({{RecordKeys::title, title},
                                          {RecordKeys::Weburl, QStringLiteral("www.example%1.org/page/%2").arg(group).arg(index)},
                                          {RecordKeys::imgpath, QStringLiteral("/nonexistent/%1.png").arg(index)},
                                          {RecordKeys::isbookmark, true}});
    case 2:
        return favorites.withNewIdentity({{RecordKeys::title, title},
                                          {RecordKeys::url, QStringLiteral("/nonexistent/%1.txt").arg(index)},
                                          {RecordKeys::istext, true}});
    default:
        return favorites.withNewIdentity(
            {{RecordKeys::title, title}, {RecordKeys::color, QStringLiteral("47CE64")}, {RecordKeys::iscolor, true}});
    }
}

// One popup over a store of 10,000 items, built once for all benchmarks.
struct Popup
{
    Popup()
        : preferences(folder.filePath(QStringLiteral("preferences.plist")))
        , supportFiles(folder.filePath(QStringLiteral("support")), favorites)
    {
        QList<QVariantMap> groups;
        for (int g = 0; g < groupCount; ++g) {
            const QString title = QStringLiteral("Group %1").arg(g);
            groups.append(Records::newGroup(title));
            QList<QVariantMap> items;
            for (int i = 0; i < itemsPerGroup; ++i)
                items.append(itemFor(favorites, g, i));
            favorites.setItems(title, items);
        }
        favorites.setGroups(groups);
        controller = std::make_unique<ViewController>(
            QuickListServices{favorites, sortSettings, supportFiles, links, desktop.services(), picker});
    }

    QTemporaryDir folder;
    PlistPreferencesStore preferences;
    FavoritesStore favorites{preferences};
    SortSettings sortSettings;
    SupportFiles supportFiles;
    ViewLinks links;
    FakeDesktopServices desktop;
    SelectTagVc picker;
    std::unique_ptr<ViewController> controller;
};

// Made in main() once the application exists, and gone before it ends.
std::unique_ptr<Popup> thePopup;

Popup &popup()
{
    return *thePopup;
}

void BM_ReloadQuickList(benchmark::State &state)
{
    ViewController &controller = *popup().controller;
    for (auto _ : state)
        controller.reloadQuickList();
    state.counters["rows"] = double(controller.findChild<QuickListView *>()->model()->rowCount());
}
BENCHMARK(BM_ReloadQuickList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same with the popup on screen: the rebuild, relayout and repaint.
void BM_ReloadQuickListShown(benchmark::State &state)
{
    ViewController &controller = *popup().controller;
    controller.showPopover(QRect(400, 0, 24, 24));
    QApplication::processEvents();
    for (auto _ : state) {
        controller.reloadQuickList();
        controller.repaint();
        QApplication::processEvents();
    }
    controller.closePopover();
    QApplication::processEvents();
}
BENCHMARK(BM_ReloadQuickListShown)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SearchKeystroke(benchmark::State &state)
{
    ViewController &controller = *popup().controller;
    auto *field = controller.findChild<QLineEdit *>(QStringLiteral("searchtextfield"));
    field->setText(QStringLiteral("item 1"));
    bool longer = true;
    for (auto _ : state) {
        // Typing one more character, then taking it back.
        field->setText(longer ? QStringLiteral("item 12") : QStringLiteral("item 1"));
        longer = !longer;
    }
    state.counters["results"] = double(controller.findChild<QuickListView *>()->model()->rowCount());
    field->clear();
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

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

// From the tray click's call to the window's first expose (the platform
// mapping the window), with its content painted.
void BM_PopupFirstExpose(benchmark::State &state)
{
    ViewController &controller = *popup().controller;
    ExposeWatch watch;
    for (auto _ : state) {
        watch.exposed = false;
        QElapsedTimer timer;
        timer.start();
        controller.showPopover(QRect(400, 0, 24, 24));
        if (QWindow *window = controller.windowHandle())
            window->installEventFilter(&watch);
        while (!watch.exposed && timer.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        controller.repaint();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        controller.closePopover();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PopupFirstExpose)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    thePopup = std::make_unique<Popup>();
    benchmark::RunSpecifiedBenchmarks();
    thePopup.reset();
    benchmark::Shutdown();
    return 0;
}
