// The desktop's search over 10,000 items in 100 groups, as GNOME Shell and
// KRunner ask it: a query's answer over a private bus (dbus-daemon), from the
// call to the reply, and the search itself. The queries are the slow ones:
// one that matches nothing and one whose matches are all in the last
// group, both of which read every item. Target: at most 10 ms an answer.

#include "BenchSupport.h"

#include "app/DesktopSearch.h"
#include "app/DesktopSearchService.h"
#include "platform/DBusSearchTypes.h"
#include "quicklist/ItemOpener.h"
#include "support/BusCall.h"
#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <memory>

namespace {

constexpr int groupCount = 100;
constexpr int itemsPerGroup = 100;

// The store, the service on a bus of its own, and a client connection, made once.
struct Searched : BenchStore
{
    Searched()
        : BenchStore(groupCount, [](int) { return itemsPerGroup; })
    {
        service.start();
        while (!client.interface()->isServiceRegistered(QString::fromLatin1(DesktopSearchService::serviceName)))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ~Searched() { QDBusConnection::disconnectFromBus(QStringLiteral("brimble")); }

    // Calls method as the desktop does and waits for the answer.
    QDBusMessage call(const char *path, const char *interface, const char *method, const QVariantList &arguments)
    {
        return callOverBus(client, QString::fromLatin1(DesktopSearchService::serviceName), path, interface, method,
                           arguments);
    }

    PrivateBus bus;
    QDBusConnection client = bus.client();
    DesktopSearch search{favorites, supportFiles};
    ItemOpener opener{supportFiles, desktop.services()};
    DesktopSearchService service{QDBusConnection::connectToBus(bus.address, QStringLiteral("brimble")), search, opener,
                                 [](const QString &) {}};
};

std::unique_ptr<Searched> theStore;

const QString nothing = QStringLiteral("no item is called so");
const QString lastGroup = QStringLiteral("of group 99");

// GNOME Shell's query: the result set, then the metas of what it shows.
void BM_ShellQuery(benchmark::State &state, const QString &text)
{
    Searched &store = *theStore;
    int results = 0;
    for (auto _ : state) {
        const QDBusMessage ids = store.call(DesktopSearchService::shellObjectPath, "org.gnome.Shell.SearchProvider2",
                                            "GetInitialResultSet", {QStringList{text}});
        const QStringList found = ids.arguments().value(0).toStringList();
        results = int(found.size());
        if (!found.isEmpty())
            store.call(DesktopSearchService::shellObjectPath, "org.gnome.Shell.SearchProvider2", "GetResultMetas",
                       {found});
    }
    state.counters["results"] = results;
}
BENCHMARK_CAPTURE(BM_ShellQuery, nothing, nothing)->Apply(fiveRuns);
BENCHMARK_CAPTURE(BM_ShellQuery, lastGroup, lastGroup)->Apply(fiveRuns);

// KRunner's query: the matches with their icons and actions, in one call.
void BM_RunnerMatch(benchmark::State &state, const QString &text)
{
    Searched &store = *theStore;
    qsizetype results = 0;
    for (auto _ : state) {
        const QDBusMessage reply = store.call(DesktopSearchService::runnerObjectPath, "org.kde.krunner1", "Match",
                                              {text});
        results = qdbus_cast<QList<KRunnerMatch>>(reply.arguments().value(0)).size();
    }
    state.counters["results"] = double(results);
}
BENCHMARK_CAPTURE(BM_RunnerMatch, nothing, nothing)->Apply(fiveRuns);
BENCHMARK_CAPTURE(BM_RunnerMatch, lastGroup, lastGroup)->Apply(fiveRuns);

// The search alone, without the bus.
void BM_Search(benchmark::State &state)
{
    Searched &store = *theStore;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.search.search(lastGroup));
}
BENCHMARK(BM_Search)->Apply(fiveRuns);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(
        argc, argv,
        [] {
            // The bench's own session bus stays out of it.
            qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
            registerDBusSearchTypes();
            theStore = std::make_unique<Searched>();
        },
        [] { theStore.reset(); });
}
