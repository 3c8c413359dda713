// Memory under hostile inputs: ten bookmarks whose icons are 5000 x 5000
// pixels (a few kilobytes each on disk) shown in the popup's rows and the
// manager's, and a favicon answer of a gigabyte sent as fast as loopback
// goes. The counters give the process's peak resident memory above where
// it stood before, in megabytes.

#include "BenchSupport.h"

#include "items/FaviconFetcher.h"
#include "manager/ItemsModel.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "manager/ManagerServices.h"
#include "platform/ModuleHttpClient.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListModel.h"
#include "store/FileBookmarks.h"
#include "support/FloodingServer.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QThreadPool>

#include <fstream>
#include <optional>
#include <string>

namespace {

constexpr int iconCount = 10;
constexpr int iconSide = 5000;

// A line of /proc/self/status in kilobytes ("VmHWM", "VmRSS").
double statusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ':';
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::stod(line.substr(prefix.size()));
    }
    return 0;
}

// Starts the peak anew at the present resident size; the baseline in kilobytes.
double resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmRSS");
}

void reportPeak(benchmark::State &state, double baselineKb)
{
    state.counters["peak_MB"] = (statusKb("VmHWM") - baselineKb) / 1024.0;
}

// Ten bookmarks in one group, their icons 5000 x 5000 PNG files.
struct LargeIcons : BenchStore
{
    LargeIcons()
        : BenchStore(0, [](int) { return 0; })
    {
        QImage picture(iconSide, iconSide, QImage::Format_ARGB32);
        picture.fill(Qt::darkCyan);
        QList<Item> bookmarks;
        for (int i = 0; i < iconCount; ++i) {
            const QString path = folder.filePath(QStringLiteral("icon%1.png").arg(i));
            picture.save(path);
            bookmarks.append(favorites.withNewIdentity(
                Item::bookmark(QStringLiteral("Site %1").arg(i), QStringLiteral("example%1.org").arg(i), path)));
        }
        favorites.setGroups({Group(QStringLiteral("Web"))});
        favorites.setItems(QStringLiteral("Web"), bookmarks);
    }
};

// Asks every row for its icon, twice: the second time after any decoding
// that went aside has ended.
void askIcons(const QAbstractItemModel &model)
{
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 0; row < model.rowCount(); ++row)
            benchmark::DoNotOptimize(model.index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(32, 32));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
}

void BM_TenLargeIconsInThePopupRows(benchmark::State &state)
{
    LargeIcons store;
    const double baseline = resetPeak();
    for (auto _ : state) {
        QuickList quickList(store.favorites);
        QuickListModel model(quickList, store.supportFiles);
        quickList.reloadQuickList();
        askIcons(model);
    }
    reportPeak(state, baseline);
}
BENCHMARK(BM_TenLargeIconsInThePopupRows)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TenLargeIconsInTheManagerRows(benchmark::State &state)
{
    LargeIcons store;
    FileBookmarks bookmarks(store.preferences);
    FaviconFetcher fetcher;
    const ManagerServices services{
        store.favorites,   store.supportFiles,       bookmarks,   store.sortSettings, store.links, fetcher,
        store.preferences, store.desktop.services(), store.picker};
    const double baseline = resetPeak();
    for (auto _ : state) {
        ManagerGroups groups(services);
        ManagerItems items(services, groups);
        ItemsModel model(items, store.supportFiles);
        groups.loadGroups();
        groups.selectGroup(0);
        askIcons(model);
    }
    reportPeak(state, baseline);
}
BENCHMARK(BM_TenLargeIconsInTheManagerRows)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GigabyteFaviconAnswer(benchmark::State &state)
{
    ModuleHttpClient client;
    const double baseline = resetPeak();
    for (auto _ : state) {
        FloodingServer server;
        HttpRequest request;
        request.url = server.url();
        request.maximumBytes = FaviconFetcher::maximumBytes;
        std::optional<HttpResponse> answer;
        client.get(request, [&answer](const HttpResponse &response) { answer = response; });
        QElapsedTimer patience;
        patience.start();
        while ((!answer || !server.done()) && patience.elapsed() < 120'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        state.counters["taken_in_MB"] = double(server.sent()) / (1024 * 1024);
    }
    reportPeak(state, baseline);
}
BENCHMARK(BM_GigabyteFaviconAnswer)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(
        argc, argv, [] {}, [] {});
}
