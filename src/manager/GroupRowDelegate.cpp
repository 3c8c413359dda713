#include "manager/GroupRowDelegate.h"

#include "manager/GroupsModel.h"
#include "manager/RowPainting.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTimer>

using namespace RowPainting;

namespace {

// How narrow a row may get: its mark, and a little text.
constexpr int minimumRowWidth = 120;

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
    return QSize(minimumRowWidth, rowHeight);
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
