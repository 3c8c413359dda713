#include "quicklist/QuickListModel.h"

#include "platform/PreferencesStore.h"
#include "quicklist/IconImages.h"
#include "quicklist/QuickList.h"
#include "store/ColorText.h"
#include "store/LocalizedText.h"
#include "store/Records.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace {

// The desktop's web icon; without an icon theme, our own globe (the style's
// stand-in would be a network drive).
QIcon neutralBookmarkIcon()
{
    QIcon own;
    own.addFile(QStringLiteral(":/icons/web.png"));
    own.addFile(QStringLiteral(":/icons/web@2x.png"));
    return QIcon::fromTheme(QStringLiteral("text-html"), QIcon::fromTheme(QStringLiteral("applications-internet"), own));
}

} // namespace

QuickListModel::QuickListModel(QuickList &quickList, const SupportFiles &supportFiles, QObject *parent)
    : QAbstractListModel(parent)
    , m_quickList(quickList)
    , m_supportFiles(supportFiles)
    , m_iconProvider(std::make_unique<QFileIconProvider>())
    , m_bookmarkIcons(new IconImages(iconSize, this))
{
    connect(m_bookmarkIcons, &IconImages::iconReady, this, [this](const QString &path) {
        m_icons.remove(QStringLiteral("i:") + path);
        if (rowCount() > 0)
            Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
    });
    m_iconProvider->setOptions(QFileIconProvider::DontUseCustomDirectoryIcons);
    connect(&quickList, &QuickList::aboutToRebuild, this, [this] { beginResetModel(); });
    connect(&quickList, &QuickList::rebuilt, this, [this] {
        m_icons.clear();
        m_folders.clear();
        endResetModel();
    });
}

QuickListModel::~QuickListModel() = default;

int QuickListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_quickList.rowCount();
}

QString QuickListModel::itemCountText(int count)
{
    const QString format = LocalizedText(count == 1 ? "IDS_BR_118" : "IDS_BR_119");
    const QString number = QString::number(count);
    if (format.contains(QLatin1String("%1")))
        return format.arg(number);
    return QString(format).replace(QLatin1String("%@"), number);
}

QVariant QuickListModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return {};
    const int row = index.row();
    const QVariantMap record = m_quickList.recordAt(row);
    const bool heading = StoredValue::isBool(record.value(RecordKeys::isHeader));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return Records::title(record);
    case Qt::DecorationRole:
        return heading ? QVariant() : QVariant(iconFor(record));
    case int(Role::record):
        return record;
    case int(Role::isHeading):
        return heading;
    case int(Role::isExpanded):
        return heading && Records::isExpanded(record);
    case Qt::AccessibleDescriptionRole:
    case int(Role::itemCountText):
        if (!heading)
            return {};
        return itemCountText(m_quickList.itemCountOfGroup(m_quickList.groupIndexOfRow(row)));
    case int(Role::tagColor):
        if (heading || StoredValue::flagIn(record, RecordKeys::iscolor))
            return ColorText::toColor(Records::text(record, RecordKeys::color));
        return {};
    case int(Role::isPinned):
        return !heading && record.contains(RecordKeys::isPin);
    case int(Role::isColorItem):
        return !heading && StoredValue::flagIn(record, RecordKeys::iscolor);
    case int(Role::opensFolderMenu):
        return !heading && opensFolderMenu(record);
    default:
        return {};
    }
}

Qt::ItemFlags QuickListModel::flags(const QModelIndex &index) const
{
    if (!isRow(index))
        return Qt::NoItemFlags;
    if (m_quickList.shouldSelectRow(index.row()))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> QuickListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(int(Role::record), "record");
    names.insert(int(Role::isHeading), "isHeading");
    names.insert(int(Role::isExpanded), "isExpanded");
    names.insert(int(Role::itemCountText), "itemCountText");
    names.insert(int(Role::tagColor), "tagColor");
    names.insert(int(Role::isPinned), "isPinned");
    names.insert(int(Role::isColorItem), "isColorItem");
    names.insert(int(Role::opensFolderMenu), "opensFolderMenu");
    return names;
}

QIcon QuickListModel::iconFor(const QVariantMap &record) const
{
    if (StoredValue::flagIn(record, RecordKeys::iscolor))
        return {};
    QString key;
    bool isFile = false;
    if (const auto path = StoredValue::stringIn(record, RecordKeys::url)) {
        key = QStringLiteral("f:") + *path;
        isFile = true;
    } else if (const auto image = StoredValue::stringIn(record, RecordKeys::imgpath)) {
        key = QStringLiteral("i:") + m_supportFiles.localPath(*image);
    } else {
        return {};
    }
    const auto cached = m_icons.constFind(key);
    if (cached != m_icons.cend())
        return *cached;
    QIcon icon;
    const QString path = key.mid(2);
    if (isFile) {
        const QFileInfo info(path);
        icon = info.exists() ? m_iconProvider->icon(info) : m_iconProvider->icon(QFileIconProvider::File);
    } else {
        // Until its icon arrives, or when none could be fetched, a bookmark
        // shows the desktop's generic web icon.
        const QIcon own = m_bookmarkIcons->icon(path);
        icon = own.isNull() ? neutralBookmarkIcon() : own;
    }
    m_icons.insert(key, icon);
    return icon;
}

bool QuickListModel::opensFolderMenu(const QVariantMap &record) const
{
    const auto path = StoredValue::stringIn(record, RecordKeys::url);
    if (!path)
        return false;
    const auto cached = m_folders.constFind(*path);
    if (cached != m_folders.cend())
        return *cached;
    const QFileInfo info(*path);
    const bool folder = info.isDir() && info.suffix() != QLatin1String("app");
    m_folders.insert(*path, folder);
    return folder;
}
