#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>

class QAbstractItemView;
class QHelpEvent;
class QPainter;
class QRect;
class QStyleOptionViewItem;

// How the rows of the manager's two lists are painted alike: the margin
// and colour swatch they share, the selected or plain background, and a
// name over a smaller, fainter second line.
namespace RowPainting {

inline constexpr int margin = 8;
inline constexpr int swatchSize = 16;
// How far inside the row the frame of the row with the focus runs.
inline constexpr int focusInset = 2;

// The row's background as the style draws it, selected or not, framed
// when the row has the focus.
void paintBackground(QPainter *painter, const QStyleOptionViewItem &option);
// The colour of a row's text (secondary: its second line).
QColor textColor(const QStyleOptionViewItem &option, bool secondary);
void paintSwatch(QPainter *painter, const QRect &rect, const QColor &color);
QFont secondLineFont(const QFont &font);
// A row's name on its first line and, smaller and fainter, a second line
// below it: a group's count, an item's address or first line.
void paintTwoLines(QPainter *painter, const QStyleOptionViewItem &option, const QRect &first, const QString &name,
                   const QRect &second, const QString &secondText, Qt::TextElideMode secondElide);
// Shows tip for the row at the event's place, or hides any tip when empty.
bool showRowTip(QHelpEvent *event, QAbstractItemView *view, const QRect &row, const QString &tip);

} // namespace RowPainting
