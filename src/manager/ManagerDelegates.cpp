#include "manager/ManagerDelegates.h"

#include "manager/ManagerModels.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>

namespace {

constexpr int margin = 8;
constexpr int swatchSize = 16;
constexpr int iconSize = ItemsModel::iconSize;
constexpr int editSize = 24;
// How narrow a row may get: its marks, its buttons and a little text.
constexpr int minimumGroupRowWidth = 120;
constexpr int minimumItemRowWidth = 160;

void paintBackground(QPainter *painter, const QStyleOptionViewItem &option)
{
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem background = option;
    background.text.clear();
    background.icon = QIcon();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
}

QColor textColor(const QStyleOptionViewItem &option, bool secondary)
{
    const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (option.state & QStyle::State_Selected)
        return option.palette.color(group, QPalette::HighlightedText);
    return option.palette.color(group, secondary ? QPalette::PlaceholderText : QPalette::Text);
}

void paintSwatch(QPainter *painter, const QRect &rect, const QColor &color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QColor(0, 0, 0, 50), 1));
    painter->setBrush(color);
    painter->drawEllipse(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

QFont secondLineFont(const QFont &font)
{
    QFont small = font;
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

// A row's name on its first line and, smaller and fainter, a second line
// below it: a group's count, an item's address or first line.
void paintTwoLines(QPainter *painter, const QStyleOptionViewItem &option, const QRect &first, const QString &name,
                   const QRect &second, const QString &secondText, Qt::TextElideMode secondElide)
{
    painter->save();
    painter->setPen(textColor(option, false));
    painter->setFont(option.font);
    painter->drawText(first, Qt::AlignLeft | Qt::AlignBottom,
                      option.fontMetrics.elidedText(name, Qt::ElideRight, first.width()));
    const QFont small = secondLineFont(option.font);
    painter->setFont(small);
    painter->setPen(textColor(option, true));
    painter->drawText(second, Qt::AlignLeft | Qt::AlignTop,
                      QFontMetrics(small).elidedText(secondText, secondElide, second.width()));
    painter->restore();
}

// Shows tip for the row at the event's place, or hides any tip when empty.
bool showRowTip(QHelpEvent *event, QAbstractItemView *view, const QRect &row, const QString &tip)
{
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view ? view->viewport() : nullptr, row);
    return true;
}

} // namespace

QRect GroupRowDelegate::partRect(const QRect &rowRect, Part part)
{
    const int middle = rowRect.center().y();
    switch (part) {
    case Part::color:
        return QRect(rowRect.left() + margin, middle - swatchSize / 2, swatchSize, swatchSize);
    case Part::title:
        return QRect(rowRect.left() + 2 * margin + swatchSize, rowRect.top() + 3,
                     rowRect.width() - 3 * margin - swatchSize, rowRect.height() / 2);
    case Part::none:
        break;
    }
    return {};
}

void GroupRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    paintBackground(painter, option);
    const QRect row = option.rect;
    paintSwatch(painter, partRect(row, Part::color), index.data(int(GroupsModel::Role::color)).value<QColor>());
    const QRect title = partRect(row, Part::title);
    const QRect count(title.left(), title.bottom() + 1, title.width(), row.bottom() - title.bottom() - 3);
    paintTwoLines(painter, option, title, index.data().toString(), count,
                  index.data(int(GroupsModel::Role::countText)).toString(), Qt::ElideNone);
}

QSize GroupRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    // The list stretches every row to its width; a row's own width only
    // sets how narrow the pane may get before it scrolls sideways.
    return QSize(minimumGroupRowWidth, rowHeight);
}

bool GroupRowDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    if (!event || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // The colour tag says what it does and its key; a name cut short by the
    // row's width shows whole.
    const QRect swatch = partRect(option.rect, Part::color);
    if (swatch.adjusted(-3, -3, 3, 3).contains(event->pos()))
        return showRowTip(event, view, swatch, colorTagTip());
    const QString title = index.data().toString();
    const bool cut = option.fontMetrics.horizontalAdvance(title) > partRect(option.rect, Part::title).width();
    return showRowTip(event, view, option.rect, cut ? title : QString());
}

QString GroupRowDelegate::colorTagTip()
{
    return QStringLiteral("%1 (%2)").arg(LocalizedText(Text::changeColourTag),
                                         colorTagKeys().toString(QKeySequence::NativeText));
}

QWidget *GroupRowDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("lbltitle"));
    field->setFrame(false);
    m_editor = field;
    return field;
}

void GroupRowDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *field = qobject_cast<QLineEdit *>(editor);
    if (!field)
        return;
    field->setText(index.data(Qt::EditRole).toString());
    // The view selects the whole name when editing starts; the caret then
    // goes after the name with nothing selected.
    QTimer::singleShot(0, field, [field] {
        field->deselect();
        field->end(false);
    });
}

void GroupRowDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    editor->setGeometry(partRect(option.rect, Part::title));
}

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
    const int textRight = (pinned ? partRect(rowRect, Part::pin).left() : partRect(rowRect, Part::edit).left()) - margin;
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
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull())
            icon.paint(painter, iconRect);
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
    return QSize(minimumItemRowWidth, rowHeight);
}
