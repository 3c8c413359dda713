#include "store/Item.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The keys as strings made once: every row painted and every search reads them.
const QString titleKey = RecordKeys::title;
const QString uidKey = RecordKeys::uid;
const QString dateKey = RecordKeys::date;
const QString isPinKey = RecordKeys::isPin;
const QString isnormalFileKey = RecordKeys::isnormalFile;
const QString isbookmarkKey = RecordKeys::isbookmark;
const QString istextKey = RecordKeys::istext;
const QString iscolorKey = RecordKeys::iscolor;
const QString urlKey = RecordKeys::url;
const QString weburlKey = RecordKeys::Weburl;
const QString imgpathKey = RecordKeys::imgpath;
const QString colorKey = RecordKeys::color;

// The key that holds what an item of kind keeps; null for no known kind.
const QString *targetKeyOf(ItemKind kind)
{
    switch (kind) {
    case ItemKind::normalFile:
    case ItemKind::text:
        return &urlKey;
    case ItemKind::bookmark:
        return &weburlKey;
    case ItemKind::color:
        return &colorKey;
    case ItemKind::unknown:
        break;
    }
    return nullptr;
}

QString stringIn(const QVariantMap &record, const QString &key)
{
    const auto value = record.constFind(key);
    if (value == record.cend() || !StoredValue::isString(*value))
        return {};
    return *static_cast<const QString *>(value->constData());
}

} // namespace

Item Item::file(const QString &path)
{
    const QString cleanPath = QDir::cleanPath(path);
    Item item;
    item.m_record = {
        {titleKey, cleanPath == QLatin1String("/") ? cleanPath : QFileInfo(cleanPath).fileName()},
        {urlKey, cleanPath},
        {isnormalFileKey, true},
    };
    return item;
}

Item Item::bookmark(const QString &title, const QString &address, const QString &iconPath)
{
    Item item;
    item.m_record = {{titleKey, title}, {weburlKey, address}, {imgpathKey, iconPath}, {isbookmarkKey, true}};
    return item;
}

Item Item::note(const QString &title, const QString &notePath)
{
    Item item;
    item.m_record = {{titleKey, title}, {urlKey, notePath}, {istextKey, true}};
    return item;
}

Item Item::color(const QString &title, const QString &colorCode)
{
    Item item;
    item.m_record = {{titleKey, title}, {colorKey, colorCode}, {iscolorKey, true}};
    return item;
}

ItemKind Item::kind() const
{
    // A record with several flags (none of Brimble's) is the first kind found.
    if (StoredValue::flagIn(m_record, isnormalFileKey))
        return ItemKind::normalFile;
    if (StoredValue::flagIn(m_record, isbookmarkKey))
        return ItemKind::bookmark;
    if (StoredValue::flagIn(m_record, istextKey))
        return ItemKind::text;
    if (StoredValue::flagIn(m_record, iscolorKey))
        return ItemKind::color;
    return ItemKind::unknown;
}

QString Item::title() const
{
    return stringIn(m_record, titleKey);
}

void Item::setTitle(const QString &title)
{
    m_record.insert(titleKey, title);
}

QString Item::target() const
{
    const QString *key = targetKeyOf(kind());
    return key ? stringIn(m_record, *key) : QString();
}

void Item::setTarget(const QString &target)
{
    if (const QString *key = targetKeyOf(kind()))
        m_record.insert(*key, target);
}

QString Item::iconPath() const
{
    return stringIn(m_record, imgpathKey);
}

void Item::setIconPath(const QString &path)
{
    m_record.insert(imgpathKey, path);
}

bool Item::isPinned() const
{
    return m_record.contains(isPinKey);
}

void Item::setPinned(bool pinned)
{
    if (pinned)
        m_record.insert(isPinKey, true);
    else
        m_record.remove(isPinKey);
}

std::optional<qint64> Item::uid() const
{
    return StoredValue::integerIn(m_record, uidKey);
}

void Item::setUid(qint64 uid)
{
    m_record.insert(uidKey, uid);
}

std::optional<QDateTime> Item::date() const
{
    return StoredValue::dateIn(m_record, dateKey);
}

void Item::setDate(const QDateTime &date)
{
    m_record.insert(dateKey, date);
}

std::optional<QUrl> Item::link() const
{
    switch (kind()) {
    case ItemKind::normalFile:
    case ItemKind::text: {
        const QString path = target();
        return path.isEmpty() ? std::nullopt : std::optional(QUrl::fromLocalFile(path));
    }
    case ItemKind::bookmark: {
        const QUrl url = bookmarkUrl(target());
        return url.isValid() ? std::optional(url) : std::nullopt;
    }
    case ItemKind::color:
    case ItemKind::unknown:
        break;
    }
    return std::nullopt;
}

QString Item::copiedColorCode() const
{
    const QString code = kind() == ItemKind::color ? target() : QString();
    return code.isEmpty() ? QString() : QLatin1Char('#') + code;
}

QUrl Item::bookmarkUrl(const QString &address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    const QString lower = text.toLower();
    const bool hasScheme = lower.startsWith(QLatin1String("http://")) || lower.startsWith(QLatin1String("https://"));
    const QUrl url(hasScheme ? text : QStringLiteral("http://") + text, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    return url;
}
