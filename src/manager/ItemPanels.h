#pragma once

#include "manager/ManagerServices.h"
#include "store/Item.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class AddItemPanel;
class CharacterPalette;
class DimmingLayer;
class EditItemPanel;
class ManagerGroups;
class ManagerItems;
class QDialog;
class QWidget;
enum class PanelKind;

// The panels the manager's items pane opens for the selected group, each
// dimming the window while it is up: the file dialog, the add panel (a
// bookmark, a note, a colour), the file item's edit panel, and the character
// palette the panels share. What a panel saves is read into the selected
// group's items again.
class ItemPanels final : public QObject
{
    Q_OBJECT

public:
    // Runs the dialog that picks one file or folder; nothing when cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget *parent)>;

    // The panels open over pane, which owns them.
    ItemPanels(ManagerGroups &groups, ManagerItems &items, const ManagerServices &services, DimmingLayer &blackLayer,
               QWidget *pane);

    // Replaces the file dialog; for tests.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // The add menu's entries.
    void AddFileFolders();
    void AddWebBookmark();
    void AddTextSnnipet();
    void AddColorSwitch();
    // The panel that edits item: a file item's name, else the add panel in
    // the mode of the item's kind.
    void edit(const Item &item);

private:
    void openAddPanel(PanelKind kind, const std::optional<Item> &edited);
    void holdDimming(QDialog *panel);
    CharacterPalette &palette();

    ManagerGroups &m_groups;
    ManagerItems &m_items;
    ManagerServices m_services;
    DimmingLayer &m_blackLayer;
    QWidget *m_pane;
    FileChooser m_chooseFile;
    QPointer<AddItemPanel> m_addPanelvc;
    QPointer<EditItemPanel> m_editFileFolderitemvc;
    CharacterPalette *m_palette = nullptr;
};
