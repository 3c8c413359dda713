#include "quicklist/QuickList.h"

#include "platform/PreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/Records.h"
#include "store/StoreKeys.h"

namespace {

// Lower case, one UTF-16 unit at a time, the same way on both sides of a
// comparison; ASCII without a table look-up.
char16_t lowered(char16_t unit)
{
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
    return char16_t(QChar::toLower(char32_t(unit)));
}

QString lowered(const QString &text)
{
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(lowered(text.at(i).unicode()));
    return result;
}

// Whether the lower-cased haystack contains needle (lower-cased already),
// without making a lower-cased copy.
bool containsLowered(QStringView haystack, QStringView needle)
{
    const qsizetype last = haystack.size() - needle.size();
    const char16_t first = needle.front().unicode();
    for (qsizetype i = 0; i <= last; ++i) {
        if (lowered(haystack[i].unicode()) != first)
            continue;
        qsizetype j = 1;
        while (j < needle.size() && lowered(haystack[i + j].unicode()) == needle[j].unicode())
            ++j;
        if (j == needle.size())
            return true;
    }
    return false;
}

// The string under key, read in place; null when absent or not a string.
const QString *stringValue(const QVariantMap &record, const QString &key)
{
    const auto value = record.constFind(key);
    if (value == record.cend() || !StoredValue::isString(*value))
        return nullptr;
    return static_cast<const QString *>(value->constData());
}

} // namespace

QuickList::QuickList(FavoritesStore &favorites, QObject *parent)
    : QObject(parent)
    , m_favorites(favorites)
{
}

void QuickList::reloadQuickList()
{
    Q_EMIT aboutToRebuild();
    // A missing or unreadable group list keeps the previous copy.
    if (const auto stored = m_favorites.preferences().arrayForKey(StoreKeys::allgroups))
        m_grouparr = Records::recordsOf(*stored);

    m_sections.clear();
    m_itemCounts.clear();
    m_sections.reserve(m_grouparr.size());
    m_itemCounts.reserve(m_grouparr.size());
    for (const QVariantMap &group : std::as_const(m_grouparr)) {
        QList<QVariantMap> items = m_favorites.itemRecords(Records::title(group));
        m_itemCounts.append(int(items.size()));
        m_sections.append(Records::isExpanded(group) ? std::move(items) : QList<QVariantMap>());
    }
    m_compositeMenuArray = FVCompositeArray(m_grouparr, m_sections);
    if (m_searchBegin)
        runSearch();
    Q_EMIT rebuilt();
}

int QuickList::rowCount() const
{
    return m_searchBegin ? int(m_searchItemsarr.size()) : m_compositeMenuArray.countOfItems();
}

QVariantMap QuickList::recordAt(int row) const
{
    if (m_searchBegin)
        return m_searchItemsarr.value(row);
    return m_compositeMenuArray.objectInItemsAtIndex(row);
}

bool QuickList::isHeadingRow(int row) const
{
    return StoredValue::isBool(recordAt(row).value(RecordKeys::isHeader));
}

int QuickList::groupIndexOfRow(int row) const
{
    if (m_searchBegin)
        return -1;
    return m_compositeMenuArray.arrayAtIndex(row).header;
}

bool QuickList::toggleExpansion(int row)
{
    const QVariantMap heading = m_compositeMenuArray.objectInItemsAtIndex(row);
    if (!StoredValue::isBool(heading.value(RecordKeys::isHeader)))
        return false;
    const QString title = Records::title(heading);
    for (QVariantMap &group : m_grouparr) {
        if (StoredValue::stringIn(group, RecordKeys::title) == title) {
            group.insert(RecordKeys::isExpanded, !Records::isExpanded(group));
            break;
        }
    }
    m_favorites.setGroups(m_grouparr);
    reloadQuickList();
    return true;
}

void QuickList::expandGroup(const QString &title)
{
    for (QVariantMap &group : m_grouparr) {
        if (StoredValue::stringIn(group, RecordKeys::title) == title) {
            if (!Records::isExpanded(group)) {
                group.insert(RecordKeys::isExpanded, true);
                m_favorites.setGroups(m_grouparr);
            }
            break;
        }
    }
    reloadQuickList();
}

void QuickList::beginSearch(const QString &text)
{
    Q_EMIT aboutToRebuild();
    m_searchBegin = true;
    m_searchText = text;
    runSearch();
    Q_EMIT rebuilt();
}

void QuickList::endSearch()
{
    if (!m_searchBegin)
        return;
    m_searchBegin = false;
    m_searchText.clear();
    m_searchItemsarr.clear();
    reloadQuickList();
}

void QuickList::runSearch()
{
    m_searchItemsarr = searchItems(m_favorites, m_grouparr, m_searchText);
}

QList<QVariantMap> QuickList::searchItems(const FavoritesStore &favorites, const QList<QVariantMap> &groups,
                                          const QString &text)
{
    QList<QVariantMap> found;
    const QString needle = lowered(text);
    if (needle.isEmpty())
        return found;
    // Keys made once; values read in place: a keystroke reads every item.
    static const QString titleKey = RecordKeys::title;
    static const QString weburlKey = RecordKeys::Weburl;
    static const QString urlKey = RecordKeys::url;
    static const QString isnormalFileKey = RecordKeys::isnormalFile;
    for (const QVariantMap &group : groups) {
        for (const QVariantMap &item : favorites.itemRecords(Records::title(group))) {
            if (const QString *title = stringValue(item, titleKey); title && containsLowered(*title, needle)) {
                found.append(item);
            } else if (const QString *address = stringValue(item, weburlKey)) {
                if (containsLowered(*address, needle))
                    found.append(item);
            } else if (StoredValue::flagIn(item, isnormalFileKey)) {
                const QString *path = stringValue(item, urlKey);
                if (path && containsLowered(*path, needle))
                    found.append(item);
            }
        }
    }
    return found;
}
