#include "quicklist/RowDelegate.h"

#include "quicklist/QuickListModel.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

using Role = QuickListModel::Role;

constexpr int margin = 6;
constexpr int controlSize = 24;
constexpr int iconSize = QuickListModel::iconSize;
constexpr QChar expandedGlyph(0x25BD);
constexpr QChar collapsedGlyph(0x25B7);

bool isHeading(const QModelIndex &index)
{
    return index.data(int(Role::isHeading)).toBool();
}

QRect controlAt(const QRect &row, int slotFromRight)
{
    const int right = row.right() - margin - slotFromRight * (controlSize + 2);
    return QRect(right - controlSize + 1, row.center().y() - controlSize / 2, controlSize, controlSize);
}

} // namespace

RowDelegate::RowDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QColor RowDelegate::hovercolor()
{
    return QColor::fromRgbF(0.17254901960784313f, 0.4627450980392157f, 0.9137254901960784f);
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width(), rowHeight);
}

QRect RowDelegate::partRect(const QRect &row, const QModelIndex &index, Part part) const
{
    if (isHeading(index)) {
        switch (part) {
        case Part::expand:
            return QRect(row.left() + 12, row.top(), 22, row.height());
        case Part::color:
            return controlAt(row, 0);
        case Part::add:
            return controlAt(row, 1);
        case Part::body:
            return row;
        default:
            return {};
        }
    }
    switch (part) {
    case Part::folderContents:
        return index.data(int(Role::opensFolderMenu)).toBool() ? controlAt(row, 0) : QRect();
    case Part::body:
        return row;
    default:
        return {};
    }
}

RowDelegate::Part RowDelegate::hitTest(const QRect &row, const QModelIndex &index, const QPoint &point) const
{
    if (!index.isValid() || !row.contains(point))
        return Part::none;
    for (Part part : {Part::expand, Part::add, Part::color, Part::folderContents}) {
        if (partRect(row, index, part).contains(point))
            return part;
    }
    return Part::body;
}

void RowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect;
    const bool hovered = index.row() == m_hoverRow;
    const QPalette &palette = option.palette;
    QColor textColor = palette.color(QPalette::Text);
    QColor dimColor = palette.color(QPalette::PlaceholderText);
    if (hovered) {
        QPainterPath highlight;
        highlight.addRoundedRect(QRectF(row.adjusted(3, 1, -3, -1)), 5.0, 5.0);
        painter->fillPath(highlight, hovercolor());
        textColor = Qt::white;
        dimColor = QColor(255, 255, 255, 200);
    }

    QFont font = option.font;
    int textLeft = 0;
    int textRight = row.right() - margin;

    if (isHeading(index)) {
        const QColor tag = index.data(int(Role::tagColor)).value<QColor>();
        const QRect strip = tagStripRect(row);
        // On the highlight a thin light border keeps the tag visible, also
        // when its colour is close to the highlight's.
        if (hovered)
            painter->fillRect(strip.adjusted(-1, -1, 1, 1), QColor(255, 255, 255, 235));
        painter->fillRect(strip, tag.isValid() ? tag : Qt::black);

        painter->setPen(dimColor);
        const bool expanded = index.data(int(Role::isExpanded)).toBool();
        painter->drawText(partRect(row, index, Part::expand), Qt::AlignCenter,
                          QString(expanded ? expandedGlyph : collapsedGlyph));

        // Add control: a plus sign; colour control: a ring in the tag colour.
        const QRect add = partRect(row, index, Part::add).adjusted(6, 6, -6, -6);
        painter->setPen(QPen(dimColor, 1.6));
        painter->drawLine(QPoint(add.center().x(), add.top()), QPoint(add.center().x(), add.bottom()));
        painter->drawLine(QPoint(add.left(), add.center().y()), QPoint(add.right(), add.center().y()));
        const QRect ring = partRect(row, index, Part::color).adjusted(6, 6, -6, -6);
        painter->setPen(QPen(hovered ? Qt::white : dimColor, 1.2));
        painter->setBrush(tag.isValid() ? tag : Qt::black);
        painter->drawEllipse(ring);

        const QString count = index.data(int(Role::itemCountText)).toString();
        QFont small = font;
        small.setPointSizeF(font.pointSizeF() * 0.85);
        const QFontMetrics smallMetrics(small);
        const int countWidth = smallMetrics.horizontalAdvance(count);
        const int countRight = add.left() - 10;
        painter->setFont(small);
        painter->setPen(dimColor);
        painter->drawText(QRect(countRight - countWidth, row.top(), countWidth, row.height()),
                          Qt::AlignVCenter | Qt::AlignRight, count);

        font.setBold(true);
        textLeft = row.left() + 38;
        textRight = countRight - countWidth - 8;
    } else {
        const QRect iconRect(row.left() + 14, row.center().y() - iconSize / 2, iconSize, iconSize);
        const bool missing = index.data(int(Role::isMissing)).toBool();
        if (index.data(int(Role::isColorItem)).toBool()) {
            const QColor swatch = index.data(int(Role::tagColor)).value<QColor>();
            painter->setPen(QPen(QColor(0, 0, 0, 60), 1));
            painter->setBrush(swatch.isValid() ? swatch : Qt::black);
            painter->drawRoundedRect(QRectF(iconRect).adjusted(1, 1, -1, -1), 4, 4);
        } else {
            const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
            if (!icon.isNull())
                icon.paint(painter, iconRect, Qt::AlignCenter, missing ? QIcon::Disabled : QIcon::Normal);
        }
        textLeft = iconRect.right() + 9;

        const QRect folder = partRect(row, index, Part::folderContents);
        if (!folder.isEmpty()) {
            // A chevron pointing at where the contents menu opens.
            const QRect chevron = folder.adjusted(9, 7, -9, -7);
            painter->setPen(QPen(dimColor, 1.6));
            painter->drawPolyline(
                QPolygon({chevron.topLeft(), QPoint(chevron.right(), chevron.center().y()), chevron.bottomLeft()}));
            textRight = folder.left() - 4;
        }
        // Small, faint words at the row's end: that its file is gone, and a
        // search result's group.
        const auto addNote = [&](const QString &text, int widest) {
            QFont small = font;
            small.setPointSizeF(font.pointSizeF() * 0.85);
            const QFontMetrics smallMetrics(small);
            const QString shown = smallMetrics.elidedText(text, Qt::ElideRight, widest);
            const int width = smallMetrics.horizontalAdvance(shown);
            painter->setFont(small);
            painter->setPen(dimColor);
            painter->drawText(QRect(textRight - width, row.top(), width, row.height()),
                              Qt::AlignVCenter | Qt::AlignRight, shown);
            textRight -= width + 10;
        };
        if (missing)
            addNote(LocalizedText(Text::missingMark), row.width() / 4);
        const QString group = index.data(int(Role::foundInGroup)).toString();
        if (!group.isEmpty())
            addNote(group, row.width() * 2 / 5);
        if (index.data(int(Role::isPinned)).toBool()) {
            // The pin mark: a small pin head and needle.
            const QPoint head(textRight - 8, row.center().y() - 3);
            painter->setPen(QPen(dimColor, 1.4));
            painter->drawLine(head, head + QPoint(0, 9));
            painter->setBrush(hovered ? QColor(Qt::white) : QColor(0xFF, 0x3B, 0x30));
            painter->setPen(Qt::NoPen);
            painter->drawEllipse(QPointF(head), 3.5, 3.5);
            textRight -= 20;
        }
    }

    painter->setFont(font);
    painter->setPen(textColor);
    const QRect textRect(textLeft, row.top(), std::max(0, textRight - textLeft), row.height());
    const QString title = QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                                        textRect.width());
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, title);
    painter->restore();
}
