// The quick-access popup with 10,000 items in 100 groups, all expanded:
// rebuilding its rows, one search keystroke (filter and model reset), and
// the time from showing the popup to its first expose.

#include "BenchSupport.h"

#include "quicklist/PopupWindow.h"
#include "quicklist/QuickListPage.h"
#include "quicklist/QuickListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QWindow>

#include <memory>

namespace {

constexpr int groupCount = 100;
constexpr int itemsPerGroup = 100;

// One popup over a store of 10,000 items, built once for all benchmarks.
struct Popup : BenchStore
{
    Popup()
        : BenchStore(groupCount, [](int) { return itemsPerGroup; })
        , controller(std::make_unique<PopupWindow>(quickListServices()))
    {
    }

    std::unique_ptr<PopupWindow> controller;
};

// The same store with French titles, every one accented: each is folded
// at each keystroke.
struct FrenchPopup : Popup
{
    FrenchPopup()
    {
        for (const Group &group : favorites.groups()) {
            QList<Item> items = favorites.items(group.title());
            for (int i = 0; i < items.size(); ++i)
                items[i].setTitle(QStringLiteral("Élément %1 du groupe « %2 »").arg(i).arg(group.title()));
            favorites.setItems(group.title(), items);
        }
        controller->quickListPage().reloadQuickList();
    }
};

// Made in main() once the application exists, and gone before they end.
std::unique_ptr<Popup> thePopup;
std::unique_ptr<FrenchPopup> theFrenchPopup;

Popup &popup()
{
    return *thePopup;
}

void BM_ReloadQuickList(benchmark::State &state)
{
    PopupWindow &controller = *popup().controller;
    for (auto _ : state)
        controller.quickListPage().reloadQuickList();
    state.counters["rows"] = double(controller.findChild<QuickListView *>()->model()->rowCount());
}
BENCHMARK(BM_ReloadQuickList)->Apply(fiveRuns);

// The same with the popup on screen: the rebuild, relayout and repaint.
void BM_ReloadQuickListShown(benchmark::State &state)
{
    PopupWindow &controller = *popup().controller;
    controller.showPopover(QRect(400, 0, 24, 24));
    QApplication::processEvents();
    for (auto _ : state) {
        controller.quickListPage().reloadQuickList();
        controller.repaint();
        QApplication::processEvents();
    }
    controller.closePopover();
    QApplication::processEvents();
}
BENCHMARK(BM_ReloadQuickListShown)->Apply(fiveRuns);

// Typing one more character, then taking it back: longer, then shorter.
void typeAndTakeBack(benchmark::State &state, PopupWindow &controller, const QString &shorter, const QString &longer)
{
    auto *field = controller.findChild<QLineEdit *>(QStringLiteral("searchtextfield"));
    field->setText(shorter);
    bool typing = true;
    for (auto _ : state) {
        field->setText(typing ? longer : shorter);
        typing = !typing;
    }
    state.counters["results"] = double(controller.findChild<QuickListView *>()->model()->rowCount());
    field->clear();
}

void BM_SearchKeystroke(benchmark::State &state)
{
    typeAndTakeBack(state, *popup().controller, QStringLiteral("item 1"), QStringLiteral("item 12"));
}
BENCHMARK(BM_SearchKeystroke)->Apply(fiveRuns);

// Without the accents typed, over titles that all have them.
void BM_SearchKeystrokeFolded(benchmark::State &state)
{
    typeAndTakeBack(state, *theFrenchPopup->controller, QStringLiteral("element 1"), QStringLiteral("element 12"));
}
BENCHMARK(BM_SearchKeystrokeFolded)->Apply(fiveRuns);

// The first keystroke of a search, which folds every item's texts once.
void BM_SearchFirstKeystrokeFolded(benchmark::State &state)
{
    PopupWindow &controller = *theFrenchPopup->controller;
    auto *field = controller.findChild<QLineEdit *>(QStringLiteral("searchtextfield"));
    for (auto _ : state) {
        field->setText(QStringLiteral("e"));
        state.PauseTiming();
        field->clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SearchFirstKeystrokeFolded)->Apply(fiveRuns);

// From the tray click's call to the window's first expose (the platform
// mapping the window), with its content painted.
void BM_PopupFirstExpose(benchmark::State &state)
{
    PopupWindow &controller = *popup().controller;
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
BENCHMARK(BM_PopupFirstExpose)->Apply(fiveSelfTimedRuns);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(
        argc, argv,
        [] {
            thePopup = std::make_unique<Popup>();
            theFrenchPopup = std::make_unique<FrenchPopup>();
        },
        [] {
            theFrenchPopup.reset();
            thePopup.reset();
        });
}
