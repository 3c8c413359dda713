// The quick-access popup with 10,000 items in 100 groups, all expanded:
// rebuilding its rows, one search keystroke (filter and model reset), and
// the time from showing the popup to its first expose.

#include "BenchSupport.h"

#include "quicklist/QuickListView.h"
#include "quicklist/PopupWindow.h"
#include "quicklist/QuickListPage.h"

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

// Made in main() once the application exists, and gone before it ends.
std::unique_ptr<Popup> thePopup;

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
BENCHMARK(BM_ReloadQuickList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

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
BENCHMARK(BM_ReloadQuickListShown)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SearchKeystroke(benchmark::State &state)
{
    PopupWindow &controller = *popup().controller;
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
BENCHMARK(BM_PopupFirstExpose)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(
        argc, argv, [] { thePopup = std::make_unique<Popup>(); }, [] { thePopup.reset(); });
}
