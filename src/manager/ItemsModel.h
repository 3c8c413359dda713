#pragma once

#include "manager/FileTypeIcons.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

class IconImages;
class Item;
class ManagerItems;
class SupportFiles;

// The items table's rows: the selected group's items, or the search results.
// What a row shows beyond its record (a note's first line, an icon) is read
// when the row is first drawn.
class ItemsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Role { subtitle = Qt::UserRole + 1, color, pinned, uid, missing };
    // The side of a row's icon, as the rows draw it.
    static constexpr int iconSize = 32;

    ItemsModel(ManagerItems &items, const SupportFiles &supportFiles, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // A bookmark's icon file was written, or decoded: the rows are drawn
    // again, and read their icon files anew where these changed.
    void iconFileChanged();

private:
    QString subtitleOf(const Item &item) const;
    QIcon iconOf(const Item &item) const;
    bool isMissing(const Item &item) const;

    ManagerItems &m_items;
    const SupportFiles &m_supportFiles;
    mutable FileTypeIcons m_typeIcons;
    mutable QHash<QString, QString> m_noteFirstLines;
    mutable QHash<QString, QIcon> m_rowIcons;
    // Whether each row's file was gone when the row was first drawn, by target.
    mutable QHash<QString, bool> m_missing;
    IconImages *m_bookmarkIcons;
};
