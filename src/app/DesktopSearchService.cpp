#include "app/DesktopSearchService.h"

#include "app/DesktopSearch.h"
#include "platform/BoundedImageReader.h"
#include "platform/DBusSearchTypes.h"
#include "quicklist/ItemOpener.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcDesktopSearch, "brimble.app.search")

namespace {

// KRunner's ranks of matches among the runners' categories.
constexpr int exactMatch = 100;
constexpr int titleMatch = 50;
constexpr int possibleMatch = 30;

// Pictures go over the bus at the size the desktops draw them.
constexpr int sentIconSide = 64;

// GIO's text form of an icon (g_icon_to_string): a file by its path, theme
// icons by their names, the first found shown.
QString giconText(const DesktopSearch::Icon &icon)
{
    if (!icon.file.isEmpty())
        return icon.file;
    if (icon.themeNames.size() == 1)
        return icon.themeNames.constFirst();
    return QStringLiteral(". GThemedIcon ") + icon.themeNames.join(u' ');
}

// The icon's picture, for a desktop that takes pixels: a file decoded no
// larger than it is drawn, or the pixels themselves; null for theme icons.
QImage pictureOf(const DesktopSearch::Icon &icon)
{
    if (!icon.file.isEmpty()) {
        return BoundedImageReader::fromFile(icon.file, {BoundedImageReader::largestIconFileBytes,
                                                        QSize(sentIconSide, sentIconSide),
                                                        BoundedImageReader::largestIconPixelCount});
    }
    return icon.image;
}

} // namespace

// org.gnome.Shell.SearchProvider2, as GNOME Shell's overview calls it.
class ShellSearchProviderAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")

public:
    ShellSearchProviderAdaptor(QObject *object, DesktopSearchService &service)
        : QDBusAbstractAdaptor(object)
        , m_service(service)
    {
    }

public Q_SLOTS:
    QStringList GetInitialResultSet(const QStringList &terms) { return idsOf(terms); }
    // Searched again whole: the first search kept only the best few.
    QStringList GetSubsearchResultSet(const QStringList &, const QStringList &terms) { return idsOf(terms); }

    QList<QVariantMap> GetResultMetas(const QStringList &identifiers)
    {
        QList<QVariantMap> metas;
        for (const QString &id : identifiers) {
            const auto result = m_service.m_search.find(id);
            if (!result)
                continue;
            QVariantMap meta{{QStringLiteral("id"), id},
                             {QStringLiteral("name"), result->item.title()},
                             {QStringLiteral("description"), result->groupTitle}};
            const DesktopSearch::Icon icon = m_service.m_search.iconOf(result->item);
            if (!icon.image.isNull())
                meta.insert(QStringLiteral("icon-data"), QVariant::fromValue(DBusIconData::fromImage(icon.image)));
            else
                meta.insert(QStringLiteral("gicon"), giconText(icon));
            metas.append(meta);
        }
        return metas;
    }

    void ActivateResult(const QString &identifier, const QStringList &, uint)
    {
        if (const auto result = m_service.m_search.find(identifier))
            m_service.m_opener.open(result->item);
    }

    void LaunchSearch(const QStringList &terms, uint)
    {
        if (m_service.m_launchSearch)
            m_service.m_launchSearch(DesktopSearch::textOf(terms));
    }

private:
    QStringList idsOf(const QStringList &terms) const
    {
        QStringList ids;
        for (const DesktopSearch::Result &result : m_service.m_search.search(DesktopSearch::textOf(terms)))
            ids.append(result.id);
        return ids;
    }

    DesktopSearchService &m_service;
};

// org.kde.krunner1, as KRunner and Plasma's search call it.
class KRunnerAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")

public:
    KRunnerAdaptor(QObject *object, DesktopSearchService &service)
        : QDBusAbstractAdaptor(object)
        , m_service(service)
    {
    }

public Q_SLOTS:
    QList<KRunnerAction> Actions()
    {
        return {{QString::fromLatin1(DesktopSearchService::openAction), LocalizedText(Text::openAction),
                 QStringLiteral("document-open")},
                {QString::fromLatin1(DesktopSearchService::revealAction), LocalizedText(Text::showInFileManager),
                 QStringLiteral("system-file-manager")}};
    }

    QList<KRunnerMatch> Match(const QString &query)
    {
        QList<KRunnerMatch> matches;
        const QList<DesktopSearch::Result> results = m_service.m_search.search(query);
        for (qsizetype rank = 0; rank < results.size(); ++rank) {
            const DesktopSearch::Result &result = results.at(rank);
            const Item &item = result.item;
            KRunnerMatch match;
            match.id = result.id;
            match.text = item.title();
            const bool exact = result.titleMatched && item.title().compare(query.trimmed(), Qt::CaseInsensitive) == 0;
            match.type = exact ? exactMatch : result.titleMatched ? titleMatch : possibleMatch;
            // The order the results come in, first the best.
            match.relevance = 1.0 - 0.01 * double(rank);
            match.properties.insert(QStringLiteral("subtext"), result.groupTitle);
            // Where an action applies: opening everything but a colour,
            // whose click copies its code; showing what is a file here.
            QStringList actions;
            if (item.kind() != ItemKind::color)
                actions.append(QString::fromLatin1(DesktopSearchService::openAction));
            if (m_service.m_opener.canReveal(item))
                actions.append(QString::fromLatin1(DesktopSearchService::revealAction));
            match.properties.insert(QStringLiteral("actions"), actions);
            if (const auto link = item.link())
                match.properties.insert(QStringLiteral("urls"), QStringList{link->toString(QUrl::FullyEncoded)});
            const DesktopSearch::Icon icon = m_service.m_search.iconOf(item);
            const QImage picture = pictureOf(icon);
            if (!picture.isNull())
                match.properties.insert(QStringLiteral("icon-data"),
                                        QVariant::fromValue(DBusIconData::fromImage(picture)));
            else
                match.iconName = icon.themeNames.value(0);
            matches.append(match);
        }
        return matches;
    }

    void Run(const QString &matchId, const QString &actionId)
    {
        const auto result = m_service.m_search.find(matchId);
        if (!result)
            return;
        if (actionId == QLatin1String(DesktopSearchService::revealAction))
            m_service.m_opener.reveal(result->item);
        else
            m_service.m_opener.open(result->item);
    }

    void Teardown() { }

private:
    DesktopSearchService &m_service;
};

DesktopSearchService::DesktopSearchService(const QDBusConnection &bus, const DesktopSearch &search,
                                           const ItemOpener &opener, LaunchSearch launchSearch, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_search(search)
    , m_opener(opener)
    , m_launchSearch(std::move(launchSearch))
{
}

DesktopSearchService::~DesktopSearchService()
{
    if (!m_started)
        return;
    m_bus.unregisterObject(QLatin1String(shellObjectPath));
    m_bus.unregisterObject(QLatin1String(runnerObjectPath));
}

void DesktopSearchService::start()
{
    if (m_started || !m_bus.isConnected())
        return;
    m_started = true;
    registerDBusSearchTypes();
    m_shellObject = new QObject(this);
    new ShellSearchProviderAdaptor(m_shellObject, *this);
    m_runnerObject = new QObject(this);
    new KRunnerAdaptor(m_runnerObject, *this);
    if (!m_bus.registerObject(QLatin1String(shellObjectPath), m_shellObject, QDBusConnection::ExportAdaptors)
        || !m_bus.registerObject(QLatin1String(runnerObjectPath), m_runnerObject, QDBusConnection::ExportAdaptors))
        qCWarning(lcDesktopSearch) << "Cannot export the desktop search interfaces";

    // Asked without waiting; queued behind another owner, the name comes
    // to this process once that one ends.
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << QString::fromLatin1(serviceName) << 0u;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(request), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<uint> reply = *finished;
        // 1: the name is this process's; 2: queued behind another Brimble.
        if (reply.isError())
            qCWarning(lcDesktopSearch) << "Cannot own" << serviceName << reply.error().message();
        else if (reply.value() != 1)
            qCInfo(lcDesktopSearch) << serviceName << "is another process's for now";
    });
}

#include "DesktopSearchService.moc"
