#include "app/DesktopSearch.h"

#include "store/ColorText.h"
#include "store/FavoritesStore.h"
#include "store/SearchRules.h"
#include "store/SupportFiles.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>

namespace {

constexpr int swatchSide = 64;

// A colour's square, as the popup shows it in its row.
QImage swatch(const QString &code)
{
    QImage image(swatchSide, swatchSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0, 0, 0, 60));
    painter.setBrush(ColorText::toColor(code));
    painter.drawRoundedRect(QRectF(2, 2, swatchSide - 4, swatchSide - 4), 8, 8);
    return image;
}

} // namespace

DesktopSearch::DesktopSearch(const FavoritesStore &favorites, const SupportFiles &supportFiles)
    : m_favorites(favorites)
    , m_supportFiles(supportFiles)
{
}

QString DesktopSearch::textOf(const QStringList &terms)
{
    return terms.join(u' ');
}

QList<DesktopSearch::Result> DesktopSearch::search(const QString &text) const
{
    QList<Result> byTitle;
    QList<Result> byTarget;
    const PopupSearch search(text);
    if (search.isEmpty())
        return byTitle;
    for (const QString &title : m_favorites.groupTitles()) {
        for (const Item &item : m_favorites.items(title)) {
            const PopupSearch::Match match = search.match(item);
            if (match == PopupSearch::Match::none)
                continue;
            // An item without identity could not be found again.
            const auto uid = item.uid();
            if (!uid)
                continue;
            if (match == PopupSearch::Match::title && byTitle.size() < maximumResults)
                byTitle.append({QString::number(*uid), item, title, true});
            else if (match == PopupSearch::Match::target && byTarget.size() < maximumResults)
                byTarget.append({QString::number(*uid), item, title, false});
            if (byTitle.size() == maximumResults)
                return remembered(byTitle);
        }
    }
    return remembered(byTitle + byTarget.mid(0, maximumResults - byTitle.size()));
}

QList<DesktopSearch::Result> DesktopSearch::remembered(const QList<Result> &results) const
{
    m_lastGroups.clear();
    for (const Result &result : results)
        m_lastGroups.insert(result.id, result.groupTitle);
    return results;
}

std::optional<DesktopSearch::Result> DesktopSearch::find(const QString &id) const
{
    bool isNumber = false;
    const qint64 uid = id.toLongLong(&isNumber);
    if (!isNumber)
        return std::nullopt;
    const auto last = m_lastGroups.constFind(id);
    if (last != m_lastGroups.cend() && m_favorites.hasGroupTitled(*last)) {
        if (const auto item = m_favorites.findItem(*last, uid))
            return Result{id, *item, *last, false};
    }
    for (const QString &title : m_favorites.groupTitles()) {
        if (const auto item = m_favorites.findItem(title, uid))
            return Result{id, *item, title, false};
    }
    return std::nullopt;
}

DesktopSearch::Icon DesktopSearch::iconOf(const Item &item) const
{
    Icon icon;
    switch (item.kind()) {
    case ItemKind::normalFile: {
        const QString path = item.target();
        if (QFileInfo(path).isDir()) {
            icon.themeNames = {QStringLiteral("folder")};
            break;
        }
        // By the name alone: the file need not be read to be listed.
        const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        icon.themeNames = {type.iconName(), type.genericIconName()};
        break;
    }
    case ItemKind::bookmark: {
        const QString file = m_supportFiles.localPath(item.iconPath());
        if (!file.isEmpty() && QFileInfo(file).isFile())
            icon.file = file;
        icon.themeNames = {QStringLiteral("text-html"), QStringLiteral("applications-internet")};
        break;
    }
    case ItemKind::text:
        icon.themeNames = {QStringLiteral("text-plain"), QStringLiteral("text-x-generic")};
        break;
    case ItemKind::color:
        icon.image = swatch(item.target());
        break;
    case ItemKind::unknown:
        icon.themeNames = {QStringLiteral("unknown")};
        break;
    }
    icon.themeNames.removeDuplicates();
    icon.themeNames.removeAll(QString());
    return icon;
}
