#include "manager/ItemRowDelegate.h"

#include "manager/ItemsModel.h"
#include "manager/RowPainting.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>

using namespace RowPainting;

namespace {

constexpr int iconSize = ItemsModel::iconSize;
constexpr int editSize = 24;
// How narrow a row may get: its marks, its buttons and a little text.
constexpr int minimumRowWidth = 160;

} // namespace

QRect ItemRowDelegate::partRect(const QRect &rowRect, Part part)
{
    const int middle = rowRect.center().y();
    switch (part) {
    case Part::icon:
        return QRect(rowRect.left() + margin, middle - iconSize / 2, iconSize, iconSize);
    case Part::edit:
        return QRect(rowRect.right() - margin - editSize, middle - editSize / 2, editSize, editSize);
    case Part::pin:
        return QRect(rowRect.right() - 2 * margin - editSize - 14, middle - 7, 14, 14);
    case Part::none:
        break;
    }
    return {};
}

QRect ItemRowDelegate::titleRect(const QRect &rowRect, bool pinned)
{
    const int textLeft = partRect(rowRect, Part::icon).right() + margin;
    const int textRight = (pinned ? partRect(rowRect, Part::pin).left() : partRect(rowRect, Part::edit).left())
                          - margin;
    return QRect(textLeft, rowRect.top() + 4, textRight - textLeft, rowRect.height() / 2 - 4);
}

bool ItemRowDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                const QModelIndex &index)
{
    if (!event || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // The painted edit button says what it does; a name or second line cut
    // short by the row's width shows whole.
    if (partRect(option.rect, Part::edit).contains(event->pos()))
        return showRowTip(event, view, partRect(option.rect, Part::edit), LocalizedText(Text::edit));
    const QRect title = titleRect(option.rect, index.data(int(ItemsModel::Role::pinned)).toBool());
    const QString name = index.data().toString();
    const QString second = index.data(int(ItemsModel::Role::subtitle)).toString();
    const bool cut = option.fontMetrics.horizontalAdvance(name) > title.width()
                     || QFontMetrics(secondLineFont(option.font)).horizontalAdvance(second) > title.width();
    return showRowTip(event, view, option.rect, cut ? name + QLatin1Char('\n') + second : QString());
}

void ItemRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    paintBackground(painter, option);
    const QRect row = option.rect;
    const QRect iconRect = partRect(row, Part::icon);
    const QVariant color = index.data(int(ItemsModel::Role::color));
    if (color.isValid()) {
        paintSwatch(painter, iconRect.adjusted(4, 4, -4, -4), color.value<QColor>());
    } else {
        // A file that is gone shows its icon greyed, beside a second line that says so.
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        const bool missing = index.data(int(ItemsModel::Role::missing)).toBool();
        if (!icon.isNull())
            icon.paint(painter, iconRect, Qt::AlignCenter, missing ? QIcon::Disabled : QIcon::Normal);
    }
    const bool pinned = index.data(int(ItemsModel::Role::pinned)).toBool();
    const QRect pinRect = partRect(row, Part::pin);
    const QRect title = titleRect(row, pinned);
    const QRect second(title.left(), title.bottom() + 1, title.width(), row.bottom() - title.bottom() - 4);

    paintTwoLines(painter, option, title, index.data().toString(), second,
                  index.data(int(ItemsModel::Role::subtitle)).toString(), Qt::ElideMiddle);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (pinned) {
        // A pin: round head on a short needle, leaning right.
        const QColor pinColor(0xE0, 0x45, 0x3A);
        painter->setPen(QPen(textColor(option, true), 1.5));
        painter->drawLine(QPointF(pinRect.left() + 3, pinRect.bottom() - 1), QPointF(pinRect.center()));
        painter->setPen(Qt::NoPen);
        painter->setBrush(pinColor);
        painter->drawEllipse(QRectF(pinRect.center().x() - 1, pinRect.top(), 8, 8));
    }
    // The edit button: a pencil.
    const QRect edit = partRect(row, Part::edit);
    painter->setPen(QPen(textColor(option, true), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(edit).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    QPainterPath pencil;
    pencil.moveTo(edit.left() + 7, edit.bottom() - 7);
    pencil.lineTo(edit.right() - 7, edit.top() + 7);
    painter->drawPath(pencil);
    painter->drawLine(QPointF(edit.left() + 6.5, edit.bottom() - 6.5), QPointF(edit.left() + 9, edit.bottom() - 6.5));
    painter->restore();
}

QSize ItemRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    // The list stretches every row to its width; a row's own width only
    // sets how narrow the pane may get before it scrolls sideways.
    return QSize(minimumRowWidth, rowHeight);
}
