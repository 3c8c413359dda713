// The manager window's first paint, from the request to show it, on the
// onboarding page (first run) and on the container's groups page (two
// groups, forty items in the first). Each
// iteration builds a new window: the first request builds it too.

#include "BenchSupport.h"

#include "app/AppContext.h"
#include "app/ManagerWindow.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/ShortcutRecorder.h"
#include "manager/ManagerPage.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "quicklist/ColorTagPicker.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

// Notes the first paint of any widget of the watched window.
class PaintWatch final : public QObject
{
public:
    QWidget *window = nullptr;
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == window)
            painted = true;
        return false;
    }
};

void firstPaint(benchmark::State &state, bool firstRun)
{
    QTemporaryDir support;
    FakeDesktopServices desktop;
    AppContext context(std::make_unique<FakePreferencesStore>(), support.path(),
                       {std::make_unique<FakeLoginItems>(), std::make_unique<FakeHotKeyService>(), desktop.services()});
    if (!firstRun) {
        context.preferences->setInteger(1, StoreKeys::first);
        context.favorites.setGroups({Group(QStringLiteral("Work")), Group(QStringLiteral("Home"))});
        QList<Item> items;
        for (int i = 0; i < 40; ++i)
            items.append(context.favorites.makeFileItem(QStringLiteral("/etc/hostname")));
        context.favorites.setItems(QStringLiteral("Work"), items);
    }
    ColorTagPicker selectTagvc;
    const ManagerServices services{context.favorites,    context.supportFiles, context.bookmarks,
                                   context.sortSettings, context.viewLinks,    context.faviconFetcher,
                                   *context.preferences, context.desktop,      selectTagvc};
    GlobalShortcut shortcut(*context.preferences, [] {});
    ShortcutRecorder recorder(*context.preferences, shortcut);
    PaintWatch watch;
    qApp->installEventFilter(&watch);

    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<ManagerWindow>(context, recorder);
        window->setManagerPageFactory(
            [&services](DimmingLayer &blackLayer) { return new ManagerPage(services, blackLayer); });
        watch.window = window.get();
        watch.painted = false;
        window->showAndActivate();
        while (!watch.painted && timer.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    qApp->removeEventFilter(&watch);
}

void BM_ManagerWindowFirstPaintOnboarding(benchmark::State &state)
{
    firstPaint(state, true);
}
void BM_ManagerWindowFirstPaintContainer(benchmark::State &state)
{
    firstPaint(state, false);
}

BENCHMARK(BM_ManagerWindowFirstPaintOnboarding)->Apply(fiveSelfTimedRuns);
BENCHMARK(BM_ManagerWindowFirstPaintContainer)->Apply(fiveSelfTimedRuns);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(
        argc, argv, [] { Localization::setTable(loadLanguageTable(QStringLiteral("English"))); }, [] {});
}
