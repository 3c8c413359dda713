#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

class Item;
class IconImages;
class QuickList;
class SupportFiles;
class QFileIconProvider;

// The popup's rows as a list model: one row per heading or item of a
// QuickList, reset whenever the QuickList rebuilds.
class QuickListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Role {
        isHeading = Qt::UserRole + 1, // bool
        isExpanded,                   // bool, headings
        itemCountText,                // QString, headings: "3 items"
        tagColor,                     // QColor: a heading's tag, a colour item's colour
        isPinned,                     // bool, items
        isColorItem,                  // bool, items
        opensFolderMenu,              // bool: a folder whose contents menu is offered
        isMissing,                    // bool, items: the file, folder or note file is gone
        foundInGroup,                 // QString, search results: the title of the group holding the item
    };

    // The side of a row's icon, as the rows draw it.
    static constexpr int iconSize = 20;

    // supportFiles finds bookmark icons synced from another computer.
    QuickListModel(QuickList &quickList, const SupportFiles &supportFiles, QObject *parent = nullptr);
    ~QuickListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    // A valid row of this model.
    bool isRow(const QModelIndex &index) const
    {
        return index.isValid() && index.model() == this && index.row() < rowCount();
    }
    QIcon iconFor(const Item &item) const;
    bool opensFolderMenu(const Item &item) const;
    bool isMissing(const Item &item) const;
    // The group of a search result; empty outside a search.
    QString foundInGroup(int row) const;

    QuickList &m_quickList;
    const SupportFiles &m_supportFiles;
    std::unique_ptr<QFileIconProvider> m_iconProvider;
    IconImages *m_bookmarkIcons;
    // Icons and folder checks of the rows shown, kept until the next reset.
    mutable QHash<QString, QIcon> m_icons;
    mutable QHash<QString, bool> m_folders;
    mutable QHash<QString, bool> m_missing;
};
