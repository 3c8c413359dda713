// The manager page over a store of 10,000 items in 100 groups, one of them
// holding 1,000: the window's first paint, selecting the big group until
// its rows are painted, the interface-thread time of a rename, a recolour,
// a pin and a remove, and a drop of 100 files on a group; the tray popup
// exists and follows every change.

#include "BenchSupport.h"

#include "items/FaviconFetcher.h"
#include "manager/GroupsDropTarget.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "manager/ManagerPage.h"
#include "quicklist/PopupWindow.h"
#include "store/FileBookmarks.h"
#include "store/StoreKeys.h"
#include "widgets/DimmingLayer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include <memory>

namespace {

constexpr int groupCount = 100;
constexpr int bigGroupItems = 1000;
constexpr int otherGroupItems = 90;

// 10,000 items: 1,000 in the first group, 90 in each of the others and 90
// more in the second.
struct Store : BenchStore
{
    Store()
        : BenchStore(groupCount, [](int g) {
            return g == 0 ? bigGroupItems : g == 1 ? 2 * otherGroupItems : otherGroupItems;
        })
    {
        for (int i = 0; i < 100; ++i) {
            const QString path = folder.filePath(QStringLiteral("dropped-%1.txt").arg(i));
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            droppedFiles.append(QUrl::fromLocalFile(path));
        }
        // The popup exists, as in the application: the manager's changes
        // rebuild its rows.
        popup = std::make_unique<PopupWindow>(quickListServices());
    }

    ManagerServices services()
    {
        return {favorites, supportFiles, bookmarks,          sortSettings, links,
                fetcher,   preferences,  desktop.services(), picker};
    }

    FileBookmarks bookmarks{preferences};
    FaviconFetcher fetcher;
    QList<QUrl> droppedFiles;
    std::unique_ptr<PopupWindow> popup;
};

// The manager window's frame with its dimming layer and the page.
struct Window
{
    explicit Window(Store &store)
        : frame(std::make_unique<QWidget>())
    {
        frame->resize(860, 560);
        layer = new DimmingLayer(frame.get());
        page = new ManagerPage(store.services(), *layer, frame.get());
        page->resize(frame->size());
    }
    ManagerGroups &groups() const { return page->groups(); }
    ManagerItems &items() const { return page->items(); }
    QAbstractItemView *view(const char *name) const
    {
        return page->findChild<QAbstractItemView *>(QString::fromLatin1(name));
    }

    std::unique_ptr<QWidget> frame;
    DimmingLayer *layer = nullptr;
    ManagerPage *page = nullptr;
};

std::unique_ptr<Store> theStore;

// From creating the page (reading the groups, selecting the big group)
// to the window's first expose with both panes painted.
void BM_ManagerFirstPaint(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        Window window(*theStore);
        ExposeWatch watch;
        window.frame->show();
        if (QWindow *handle = window.frame->windowHandle())
            handle->installEventFilter(&watch);
        while (!watch.exposed && timer.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        window.frame->repaint();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        window.frame.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ManagerFirstPaint)->Apply(fiveSelfTimedRuns);

// Selecting the group of 1,000 items (read, sorted and stored) until the
// rows on screen are painted.
void BM_SelectGroupOf1000(benchmark::State &state)
{
    Window window(*theStore);
    window.frame->show();
    QApplication::processEvents();
    QAbstractItemView *groups = window.view("tblviewgroup");
    QAbstractItemView *items = window.view("tblviewItems");
    for (auto _ : state) {
        state.PauseTiming();
        groups->setCurrentIndex(groups->model()->index(2, 0));
        QApplication::processEvents();
        state.ResumeTiming();
        groups->setCurrentIndex(groups->model()->index(0, 0));
        items->viewport()->repaint();
    }
    state.counters["rows"] = double(items->model()->rowCount());
}
BENCHMARK(BM_SelectGroupOf1000)->Apply(fiveRuns);

// The interface-thread time of one change, with the panes painted again.
template<typename Change>
void measureChange(benchmark::State &state, Change change)
{
    Window window(*theStore);
    window.frame->show();
    QApplication::processEvents();
    int round = 0;
    for (auto _ : state) {
        change(window, round++);
        window.frame->repaint();
    }
}

void BM_RenameGroup(benchmark::State &state)
{
    measureChange(
        state, [](Window &window, int round) { window.groups().rename(0, QStringLiteral("Renamed %1").arg(round)); });
}
BENCHMARK(BM_RenameGroup)->Apply(fiveRuns);

void BM_RecolourGroup(benchmark::State &state)
{
    measureChange(state, [](Window &window, int round) {
        window.groups().changeColor(0, round % 2 ? QColor(0xFF, 0x3B, 0x30) : QColor(0x00, 0x7A, 0xFF));
    });
}
BENCHMARK(BM_RecolourGroup)->Apply(fiveRuns);

void BM_PinItem(benchmark::State &state)
{
    measureChange(state, [](Window &window, int round) { window.items().PinItem(round % 2 ? 0 : 500); });
}
BENCHMARK(BM_PinItem)->Apply(fiveRuns);

void BM_RemoveItem(benchmark::State &state)
{
    Window window(*theStore);
    window.frame->show();
    QApplication::processEvents();
    ManagerItems &items = window.items();
    for (auto _ : state) {
        state.PauseTiming();
        const Item item = items.shownItem(500).value();
        state.ResumeTiming();
        items.removeItem(500);
        window.frame->repaint();
        state.PauseTiming();
        theStore->favorites.appendItemToGroup(window.groups().selectedGroupTitle(), item);
        items.selectedItemsStored(std::nullopt);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveItem)->Apply(fiveRuns);

// 100 files from a file manager dropped on a group row.
void BM_Drop100Files(benchmark::State &state)
{
    Window window(*theStore);
    window.frame->show();
    QApplication::processEvents();
    ManagerGroups &groups = window.groups();
    QMimeData data;
    data.setUrls(theStore->droppedFiles);
    const int row = groupCount - 1;
    for (auto _ : state) {
        window.page->drops().acceptDrop(row, true, &data);
        window.frame->repaint();
        state.PauseTiming();
        theStore->favorites.setItems(groups.groupTitle(row), QList<Item>());
        theStore->preferences.removeObjectForKey(StoreKeys::allBookmark);
        groups.selectGroup(0);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Drop100Files)->Apply(fiveRuns);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(
        argc, argv, [] { theStore = std::make_unique<Store>(); }, [] { theStore.reset(); });
}
