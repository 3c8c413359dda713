#include "manager/ItemsModel.h"

#include "manager/ManagerItems.h"
#include "platform/RegularFile.h"
#include "quicklist/IconImages.h"
#include "store/ColorText.h"
#include "store/LocalizedText.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"

namespace {

constexpr qint64 firstLineLimit = 4096;

// The desktop's web icon, as the popup shows it; without an icon theme the
// globe that ships with Brimble (the style's stand-in is a network drive).
QIcon genericWebIcon()
{
    static const QIcon icon = [] {
        QIcon globe;
        globe.addFile(QStringLiteral(":/icons/web.png"));
        globe.addFile(QStringLiteral(":/icons/web@2x.png"));
        return QIcon::fromTheme(QStringLiteral("text-html"),
                                QIcon::fromTheme(QStringLiteral("applications-internet"), globe));
    }();
    return icon;
}

} // namespace

ItemsModel::ItemsModel(ManagerItems &items, const SupportFiles &supportFiles, QObject *parent)
    : QAbstractListModel(parent)
    , m_items(items)
    , m_supportFiles(supportFiles)
    , m_bookmarkIcons(new IconImages(iconSize, this))
{
    connect(m_bookmarkIcons, &IconImages::iconReady, this, &ItemsModel::iconFileChanged);
    connect(&items, &ManagerItems::itemsReset, this, [this] {
        beginResetModel();
        m_noteFirstLines.clear();
        m_rowIcons.clear();
        m_missing.clear();
        endResetModel();
    });
}

int ItemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.shownItems().size());
}

QString ItemsModel::subtitleOf(const Item &item) const
{
    // A file's path, a bookmark's address, a colour's code; a note's first line.
    const QString target = item.target();
    if (isMissing(item))
        return LocalizedText(Text::fileMissingLine).arg(target);
    if (item.kind() != ItemKind::text)
        return target;
    auto cached = m_noteFirstLines.constFind(target);
    if (cached != m_noteFirstLines.cend())
        return *cached;
    const QString note = m_supportFiles.localPath(target);
    const QString line = QString::fromUtf8(RegularFile::readStart(note, firstLineLimit).bytes)
                             .section(QLatin1Char('\n'), 0, 0)
                             .trimmed();
    m_noteFirstLines.insert(target, line);
    return line;
}

QIcon ItemsModel::iconOf(const Item &item) const
{
    const ItemKind kind = item.kind();
    if (kind == ItemKind::normalFile || kind == ItemKind::text) {
        const QString path = item.target();
        auto cached = m_rowIcons.constFind(path);
        if (cached != m_rowIcons.cend())
            return *cached;
        const QIcon icon = kind == ItemKind::text ? m_typeIcons.iconForType(QStringLiteral("text/plain"))
                                                  : m_typeIcons.iconFor(path);
        m_rowIcons.insert(path, icon);
        return icon;
    }
    if (kind != ItemKind::bookmark)
        return {};
    const QString imagePath = item.iconPath();
    const QIcon icon = imagePath.isEmpty() ? QIcon() : m_bookmarkIcons->icon(m_supportFiles.localPath(imagePath));
    return icon.isNull() ? genericWebIcon() : icon;
}

bool ItemsModel::isMissing(const Item &item) const
{
    auto cached = m_missing.constFind(item.target());
    if (cached != m_missing.cend())
        return *cached;
    const bool missing = m_supportFiles.isFileMissing(item);
    m_missing.insert(item.target(), missing);
    return missing;
}

QVariant ItemsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Item &item = m_items.shownItems().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return item.title();
    case Qt::AccessibleDescriptionRole:
    case int(Role::subtitle):
        return subtitleOf(item);
    case Qt::DecorationRole: {
        const QIcon icon = iconOf(item);
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case int(Role::color):
        return item.kind() == ItemKind::color ? QVariant(ColorText::toColor(item.target())) : QVariant();
    case int(Role::pinned):
        return item.isPinned();
    case int(Role::uid):
        return item.uid().value_or(0);
    case int(Role::missing):
        return isMissing(item);
    default:
        return {};
    }
}

Qt::ItemFlags ItemsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

void ItemsModel::iconFileChanged()
{
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
}
