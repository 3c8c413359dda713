#pragma once

#include "manager/FileTypeIcons.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

#include <functional>

class IconImages;
class Item;
class ManagerController;

// The groups table's rows: one per group of the controller's grouparr.
// The name is edited in place; an edit is a rename.
class GroupsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Role { color = Qt::UserRole + 1, countText };

    explicit GroupsModel(ManagerController &controller, QObject *parent = nullptr);

    // Whether a finished name edit counts; when it does not (another page
    // of the window is showing), the edit is dropped and the stored list
    // read again.
    void setEditsAllowed(std::function<bool()> allowed) { m_editsAllowed = std::move(allowed); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;

    // Runs the rename of a name edit that was just committed, rather than
    // once the view has closed the field; for actions that follow at once.
    void applyPendingRename();

Q_SIGNALS:
    // A rename ended as result (a ManagerController::Rename).
    void renameFinished(int row, int result);

private:
    ManagerController &m_controller;
    std::function<bool()> m_editsAllowed;
    std::function<void()> m_pendingRename;
};

// The items table's rows: the selected group's items, or the search results.
// What a row shows beyond its record (a note's first line, an icon) is read
// when the row is first drawn.
class ItemsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Role { subtitle = Qt::UserRole + 1, color, pinned, uid };
    // The side of a row's icon, as the rows draw it.
    static constexpr int iconSize = 32;

    explicit ItemsModel(ManagerController &controller, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // A bookmark's icon file was written, or decoded: the rows are drawn
    // again, and read their icon files anew where these changed.
    void iconFileChanged();

private:
    QString subtitleOf(const Item &item) const;
    QIcon iconOf(const Item &item) const;

    ManagerController &m_controller;
    mutable FileTypeIcons m_typeIcons;
    mutable QHash<QString, QString> m_noteFirstLines;
    mutable QHash<QString, QIcon> m_rowIcons;
    IconImages *m_bookmarkIcons;
};
