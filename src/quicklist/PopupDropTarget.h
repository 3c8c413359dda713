#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QMimeData;
class QPoint;
class QuickList;
class QuickListView;
class QWidget;

// Files and web addresses dragged onto the popup's rows: dropped on a
// group's heading or on one of its rows (a search result: the group it was
// found in), they go to that group. What a drop may carry, and how it is
// added, is the handler's to decide; without one nothing is taken. The
// group's row is highlighted while the drag is over it.
class PopupDropTarget final : public QObject
{
    Q_OBJECT

public:
    struct Handler
    {
        // Whether data carries anything to add.
        std::function<bool(const QMimeData &data)> accepts;
        // Adds what data carries to the group; true when something was added.
        std::function<bool(const QString &groupTitle, const QMimeData &data)> add;
    };

    PopupDropTarget(QuickListView &view, const QuickList &quickList, QObject *parent = nullptr);

    void setHandler(Handler handler) { m_handler = std::move(handler); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The group of the row at pos (viewport coordinates) when data is for
    // the popup; nothing otherwise.
    std::optional<QString> targetGroup(const QPoint &pos, const QMimeData *data) const;
    // The heading of the group, else the row itself, is highlighted.
    void highlightGroupAt(const QPoint &pos);

    QuickListView &m_view;
    // Kept apart from the view: the filter still sees the viewport's events
    // while the view is being destroyed, when the view's own functions no
    // longer may be called.
    QWidget *const m_viewport;
    const QuickList &m_quickList;
    Handler m_handler;
};
