#pragma once

#include <QAbstractListModel>

#include <functional>

class ManagerGroups;

// The groups table's rows: one per group of ManagerGroups' grouparr.
// The name is edited in place; an edit is a rename.
class GroupsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Role { color = Qt::UserRole + 1, countText };

    explicit GroupsModel(ManagerGroups &groups, QObject *parent = nullptr);

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
    // A rename ended as result (a ManagerGroups::Rename).
    void renameFinished(int row, int result);

private:
    ManagerGroups &m_groups;
    std::function<bool()> m_editsAllowed;
    std::function<void()> m_pendingRename;
};
