#pragma once

#include "store/Group.h"
#include "store/Item.h"
#include "store/Sorting.h"
#include "store/TextKey.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <optional>

class FavoritesStore;
class SupportFiles;
class ViewLinks;

// The session's undo history of what the popup and the manager window
// changed in the favourites; both windows share it.
//
// A change is kept as the parts it touched (the group list, some groups'
// items, the sort settings) before and after it. Undoing applies that
// difference to what is stored now, through the store, matching groups by
// title and items by uid: what another program or computer changed
// meanwhile stays. A part of the change that no longer applies (a record
// changed elsewhere since, a group title taken, an item that is back
// elsewhere) is left as it is, and the user is told.
class FavoritesHistory final : public QObject
{
    Q_OBJECT

public:
    // The parts of the favourites a change touches, as stored.
    struct Snapshot
    {
        QList<Group> groups;
        // The items of the touched groups, by title.
        QMap<QString, QList<Item>> items;
        SortSettings sortSettings;

        bool operator==(const Snapshot &other) const = default;
    };

    FavoritesHistory(FavoritesStore &favorites, SupportFiles &supportFiles, SortSettings &sortSettings,
                     ViewLinks &viewLinks, QObject *parent = nullptr);

    // From now on the note and icon files of removed items wait in folder
    // (emptied first: what a session that ended without quitting left)
    // until discardRemovedFiles, so that undoing a removal brings them back.
    void keepRemovedFilesIn(const QString &folder);
    // Deletes the files kept for undo, at quit; the history forgets the steps
    // that needed them.
    void discardRemovedFiles();

    // The group list, the sort settings and the items of groupTitles as
    // they are now: taken before a change.
    Snapshot snapshot(const QStringList &groupTitles) const;
    // The same with every group's items.
    Snapshot snapshotOfAll() const;
    // Records the change made since before as one step named name, when it
    // changed anything.
    void record(const QString &name, const Snapshot &before);

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // "Undo Delete Item", "Redo Sort", or plain "Undo" and "Redo".
    QString undoText() const;
    QString redoText() const;
    // Undoes or redoes the last step. What to tell the user when a part of
    // it no longer applied; empty when all of it did.
    QString undo();
    QString redo();

    enum class Outcome { applied, partly, refused };
    // Turns what is stored from the state from toward the state to, where
    // what is stored still matches from.
    Outcome apply(const Snapshot &from, const Snapshot &to);

Q_SIGNALS:
    // canUndo(), canRedo() or their texts changed.
    void changed();

private:
    friend class FavoritesChangeCommand;

    FavoritesStore &m_favorites;
    SupportFiles &m_supportFiles;
    SortSettings &m_sortSettings;
    ViewLinks &m_viewLinks;
    QUndoStack m_stack;
    QString m_message;
    QString m_removedFolder;
};

// One step of the history, recorded when the object goes out of scope:
// what changed meanwhile in the group list, the sort settings and the items
// of groupTitles (of every group when none are given). Without a history
// nothing is recorded.
class FavoritesHistoryStep final
{
public:
    FavoritesHistoryStep(FavoritesHistory *history, TextKey nameKey,
                         const std::optional<QStringList> &groupTitles = std::nullopt);
    ~FavoritesHistoryStep();
    FavoritesHistoryStep(const FavoritesHistoryStep &) = delete;
    FavoritesHistoryStep &operator=(const FavoritesHistoryStep &) = delete;

private:
    FavoritesHistory *m_history;
    TextKey m_nameKey;
    std::optional<FavoritesHistory::Snapshot> m_before;
};
