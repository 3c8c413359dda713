#include "store/FileBookmarks.h"

#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/StoreKeys.h"

#include <QFileInfo>
#include <QUrl>

namespace {
constexpr auto errorLine = "Error storing bookmarks";
}

FileBookmarks::FileBookmarks(PreferencesStore &preferences)
    : m_preferences(preferences)
{
}

void FileBookmarks::storeFileBookmark(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isAbsolute()) {
        printLine(QStringLiteral("Not an absolute path: \"%1\"").arg(path));
        printLine(QLatin1String(errorLine));
        return;
    }
    // The stored list may have grown elsewhere since (another computer,
    // through a synced file): it is the one extended.
    if (const auto stored = storedEntries())
        m_entries = *stored;
    const QByteArray bookmark = path.toUtf8();
    if (m_entries.contains(bookmark))
        return;
    m_entries.append(bookmark);
    QVariantList stored;
    stored.reserve(m_entries.size());
    for (const QByteArray &entry : std::as_const(m_entries))
        stored.append(entry);
    m_preferences.setObject(stored, StoreKeys::allBookmark);
}

std::optional<QList<QByteArray>> FileBookmarks::storedEntries() const
{
    const auto stored = m_preferences.arrayForKey(StoreKeys::allBookmark);
    if (!stored)
        return std::nullopt;
    QList<QByteArray> entries;
    for (const QVariant &value : *stored) {
        if (value.typeId() != QMetaType::QByteArray)
            return std::nullopt; // not a list of bookmarks
        entries.append(value.toByteArray());
    }
    return entries;
}

void FileBookmarks::restoreFileAccess()
{
    const auto stored = storedEntries();
    if (!stored)
        return; // keep the empty list
    m_entries = *stored;
    for (const QByteArray &entry : std::as_const(m_entries))
        printLine(QString::fromLatin1(QUrl::fromLocalFile(QString::fromUtf8(entry)).toEncoded()));
}
