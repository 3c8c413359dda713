#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>

class DesktopSearch;
class ItemOpener;

// Serves the favourites to the desktop's own search on the session bus,
// under a name of Brimble's own: GNOME Shell's search provider
// (org.gnome.Shell.SearchProvider2) and KRunner's D-Bus runner
// (org.kde.krunner1). A result opens as a click in the popup opens it;
// GNOME's "more results" opens the popup searching for the same text.
class DesktopSearchService final : public QObject
{
    Q_OBJECT

public:
    // The names the search provider's and the runner's files give.
    static constexpr auto serviceName = "org.brimble.Brimble.SearchProvider";
    static constexpr auto shellObjectPath = "/org/brimble/Brimble/SearchProvider";
    static constexpr auto runnerObjectPath = "/org/brimble/Brimble/KRunner";
    // KRunner's actions on a match.
    static constexpr auto openAction = "open";
    static constexpr auto revealAction = "reveal";

    using LaunchSearch = std::function<void(const QString &text)>;

    DesktopSearchService(const QDBusConnection &bus, const DesktopSearch &search, const ItemOpener &opener,
                         LaunchSearch launchSearch, QObject *parent = nullptr);
    ~DesktopSearchService() override;

    // Exports both interfaces and asks the bus for the name, without
    // waiting for its answer: launch goes on meanwhile. Another process
    // holding the name (a Brimble of another store) keeps it; this one
    // takes it over once that one ends.
    void start();

private:
    friend class ShellSearchProviderAdaptor;
    friend class KRunnerAdaptor;

    QDBusConnection m_bus;
    const DesktopSearch &m_search;
    const ItemOpener &m_opener;
    LaunchSearch m_launchSearch;
    QObject *m_shellObject = nullptr;
    QObject *m_runnerObject = nullptr;
    bool m_started = false;
};
