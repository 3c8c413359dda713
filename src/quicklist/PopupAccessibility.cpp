#include "quicklist/PopupAccessibility.h"

#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListView.h"

#include <QApplication>

namespace {

constexpr char accessibleWindowProperty[] = "brimbleAccessibleWindow";

AccessibleRowActionSources &actionSources()
{
    static AccessibleRowActionSources sources;
    return sources;
}

// The popup has the keyboard: its highlighted row is the current item.
bool popupHasFocus(const QuickListView *view)
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && focus->window() == view->window();
}

// One row of the popup: the highlighted row is the selected one.
class PopupRowInterface final : public AccessibleListRow
{
public:
    PopupRowInterface(QuickListView *view, int row)
        : AccessibleListRow(view, row, actionSources())
    {
    }

protected:
    QString rowText(QAccessible::Text t, const QModelIndex &index) const override
    {
        switch (t) {
        case QAccessible::Name:
            return index.data(Qt::DisplayRole).toString();
        case QAccessible::Description: {
            const QString description = index.data(Qt::AccessibleDescriptionRole).toString();
            return description.isEmpty() ? index.data(int(QuickListModel::Role::itemCountText)).toString()
                                         : description;
        }
        default:
            return {};
        }
    }

    void addRowState(QAccessible::State &state, const QModelIndex &index) const override
    {
        state.selected = state.active = quickListView()->hoverRow() == row();
        state.focused = state.selected && popupHasFocus(quickListView());
        if (index.data(int(QuickListModel::Role::isHeading)).toBool()) {
            state.expandable = true;
            state.expanded = index.data(int(QuickListModel::Role::isExpanded)).toBool();
            state.collapsed = !state.expanded;
        }
    }

    void focusRow() override { quickListView()->highlightRow(row()); }

private:
    QuickListView *quickListView() const { return static_cast<QuickListView *>(view()); }
};

// The list: the highlighted row is the one with the focus.
class PopupListInterface final : public AccessibleRowList
{
public:
    explicit PopupListInterface(QuickListView *view)
        : AccessibleRowList(view)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = AccessibleRowList::state();
        state.focusable = true;
        return state;
    }

protected:
    AccessibleListRow *createRow(int row) const override { return new PopupRowInterface(quickListView(), row); }

    int focusedRow() const override { return popupHasFocus(quickListView()) ? quickListView()->hoverRow() : -1; }

private:
    QuickListView *quickListView() const { return static_cast<QuickListView *>(view()); }
};

QAccessibleInterface *popupFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (widget->property(accessibleWindowProperty).toBool())
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (auto *view = qobject_cast<QuickListView *>(object); view && actionSources().contains(view))
        return new PopupListInterface(view);
    return nullptr;
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(popupFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

namespace PopupAccessibility {

void installList(QuickListView *view, AccessibleRowActions actionsOf)
{
    installFactory();
    actionSources().insert(view, std::move(actionsOf));
}

void installWindow(QWidget *window)
{
    installFactory();
    window->setProperty(accessibleWindowProperty, true);
}

void announceCurrentRow(QuickListView *view, int row)
{
    // Sent also while no screen reader listens (a rare event, made by a
    // key): the bridge that starts later reads the state it describes.
    if (!view->model() || row < 0 || row >= view->model()->rowCount())
        return;
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

} // namespace PopupAccessibility
