#include "quicklist/QuickListModel.h"

#include "quicklist/IconImages.h"
#include "quicklist/ItemActions.h"
#include "quicklist/QuickList.h"
#include "store/ColorText.h"
#include "store/LocalizedText.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"

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
    return QIcon::fromTheme(QStringLiteral("text-html"),
                            QIcon::fromTheme(QStringLiteral("applications-internet"), own));
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
        m_missing.clear();
        endResetModel();
    });
}

QuickListModel::~QuickListModel() = default;

int QuickListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_quickList.rowCount();
}

QVariant QuickListModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return {};
    const int row = index.row();
    if (const auto group = m_quickList.isHeadingRow(row) ? m_quickList.headingAt(row) : std::nullopt) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return group->title();
        case int(Role::isHeading):
            return true;
        case int(Role::isExpanded):
            return group->isExpanded();
        case Qt::AccessibleDescriptionRole:
        case int(Role::itemCountText):
            return itemCountText(m_quickList.itemCountOfGroup(m_quickList.groupIndexOfRow(row)));
        case int(Role::tagColor):
            return group->tagColor();
        case int(Role::isPinned):
        case int(Role::isColorItem):
        case int(Role::opensFolderMenu):
        case int(Role::isMissing):
            return false;
        case int(Role::foundInGroup):
            return QString();
        default:
            return {};
        }
    }
    const Item item = m_quickList.itemAt(row).value_or(Item());
    const bool isColor = item.kind() == ItemKind::color;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.title();
    case Qt::DecorationRole:
        return iconFor(item);
    case int(Role::isHeading):
    case int(Role::isExpanded):
        return false;
    case int(Role::tagColor):
        return isColor ? QVariant(ColorText::toColor(item.target())) : QVariant();
    case int(Role::isPinned):
        return item.isPinned();
    case int(Role::isColorItem):
        return isColor;
    case int(Role::opensFolderMenu):
        return opensFolderMenu(item);
    case int(Role::isMissing):
        return isMissing(item);
    case int(Role::foundInGroup):
        return foundInGroup(row);
    case Qt::AccessibleDescriptionRole: {
        // What a screen reader adds to the title: that the file is gone, and
        // in a search, the group that holds the item.
        QStringList parts;
        if (isMissing(item))
            parts.append(LocalizedText(Text::fileMissingLine).arg(item.target()));
        if (const QString group = foundInGroup(row); !group.isEmpty())
            parts.append(LocalizedText(Text::inGroup).arg(group));
        return parts.join(QStringLiteral("; "));
    }
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
    names.insert(int(Role::isHeading), "isHeading");
    names.insert(int(Role::isExpanded), "isExpanded");
    names.insert(int(Role::itemCountText), "itemCountText");
    names.insert(int(Role::tagColor), "tagColor");
    names.insert(int(Role::isPinned), "isPinned");
    names.insert(int(Role::isColorItem), "isColorItem");
    names.insert(int(Role::opensFolderMenu), "opensFolderMenu");
    names.insert(int(Role::isMissing), "isMissing");
    names.insert(int(Role::foundInGroup), "foundInGroup");
    return names;
}

QIcon QuickListModel::iconFor(const Item &item) const
{
    QString key;
    bool isFile = false;
    switch (item.kind()) {
    case ItemKind::normalFile:
    case ItemKind::text:
        key = QStringLiteral("f:") + item.target();
        isFile = true;
        break;
    case ItemKind::bookmark:
        key = QStringLiteral("i:") + m_supportFiles.localPath(item.iconPath());
        break;
    case ItemKind::color:
    case ItemKind::unknown:
        return {};
    }
    if (key.size() == 2) // no path stored: a bookmark still shows it is one
        return item.kind() == ItemKind::bookmark ? neutralBookmarkIcon() : QIcon();
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

QString QuickListModel::foundInGroup(int row) const
{
    if (!m_quickList.searchBegin())
        return {};
    const auto group = m_quickList.groupOfRow(row);
    return group ? group->title() : QString();
}

bool QuickListModel::opensFolderMenu(const Item &item) const
{
    const QString path = ItemActions::folderPathOf(item);
    if (path.isEmpty())
        return false;
    const auto cached = m_folders.constFind(path);
    if (cached != m_folders.cend())
        return *cached;
    const QFileInfo info(path);
    const bool folder = info.isDir() && info.suffix() != QLatin1String("app");
    m_folders.insert(path, folder);
    return folder;
}

bool QuickListModel::isMissing(const Item &item) const
{
    const auto cached = m_missing.constFind(item.target());
    if (cached != m_missing.cend())
        return *cached;
    const bool missing = m_supportFiles.isFileMissing(item);
    m_missing.insert(item.target(), missing);
    return missing;
}
