#pragma once

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QModelIndex>
#include <QPointer>
#include <QString>

#include <functional>

// Something a row does (a click, one of its painted controls, an entry of
// its menu), offered to screen readers as a named action of the row: its
// name (shown to the user), the key that does the same on the current row,
// and what it does.
struct AccessibleRowAction
{
    QString name;
    QKeySequence keys;
    std::function<void()> trigger;
};

using AccessibleRowActions = std::function<QList<AccessibleRowAction>(int row)>;

// The views whose rows carry actions, each with what it asks for a row's
// actions (asked each time, so the actions follow the rows and the
// language). A view leaves when it is destroyed.
class AccessibleRowActionSources final
{
public:
    void insert(QAbstractItemView *view, AccessibleRowActions actionsOf);
    bool contains(const QObject *view) const { return m_sources.contains(view); }
    QList<AccessibleRowAction> actionsOf(const QAbstractItemView *view, int row) const;

private:
    QHash<const QObject *, AccessibleRowActions> m_sources;
};

// One row of a list view as a list item, read from the model each time, so
// it stays right while rows are added, removed and sorted under it. Its
// actions are the row's own, after "set focus".
class AccessibleListRow : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    AccessibleListRow(QAbstractItemView *view, int row, const AccessibleRowActionSources &sources);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override { }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    QString localizedActionName(const QString &name) const override;
    QStringList keyBindingsForAction(const QString &name) const override;
    void doAction(const QString &name) override;

protected:
    // What the row's text t is, and how its state differs from a
    // selectable, focusable row's; asked only while the row is valid.
    virtual QString rowText(QAccessible::Text t, const QModelIndex &index) const = 0;
    virtual void addRowState(QAccessible::State &state, const QModelIndex &index) const = 0;
    // Makes this row the view's current one ("set focus").
    virtual void focusRow() = 0;

    QAbstractItemView *view() const { return m_view.data(); }
    int row() const { return m_row; }
    QModelIndex index() const;

private:
    QPointer<QAbstractItemView> m_view;
    const int m_row;
    const AccessibleRowActionSources &m_sources;
};

// A list view as a list whose children are its rows: one interface per row
// number, made when first asked for and kept until the list goes.
class AccessibleRowList : public QAccessibleWidget
{
public:
    explicit AccessibleRowList(QAbstractItemView *view);
    ~AccessibleRowList() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

protected:
    virtual AccessibleListRow *createRow(int row) const = 0;
    // The row that has the focus, or -1.
    virtual int focusedRow() const = 0;

    QAbstractItemView *view() const;

private:
    mutable QHash<int, QAccessible::Id> m_rows;
};
