#pragma once

#include "manager/ManagerServices.h"
#include "store/Item.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class AddPanelvc;
class CharacterPalette;
class DimmingLayer;
class EditFileFolderitemvc;
class ItemsModel;
class ItemsTableView;
class ManagerController;
class PreviewWindow;
class QLineEdit;
class QStackedWidget;
class QToolButton;
enum class PanelKind;

// The manager page's right pane: the selected group's items under the search
// field, with the add, remove and sort buttons below them (or a box that
// invites adding the first item), the items' context menu and keys, and the
// add and edit panels and the preview they open.
class ItemsPane final : public QWidget
{
    Q_OBJECT

public:
    // Runs the dialog that picks one file or folder; nothing when cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget *parent)>;

    // endGroupEditing commits a group name being edited in the other pane
    // before an action here reads the groups.
    ItemsPane(ManagerController &controller, const ManagerServices &services, DimmingLayer &blackLayer,
              std::function<void()> endGroupEditing, QWidget *parent);

    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    QLineEdit *searchField() const { return searchtextfield; }
    void focusSearch();

public Q_SLOTS:
    void btnAddItem();
    void btnremoveItem();
    void btnsortItems();
    void AddFileFolders();
    void AddWebBookmark();
    void AddTextSnnipet();
    void AddColorSwitch();
    void menuitem_edit();
    void menuitem_Open();
    void menuitem_QuickLook();
    void PinItem();
    void alertforRemoveItem();
    void Items_doubleclicked();
    void scrolltoLastAddedItemWithUid(qint64 uid);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildEmptyBox();
    void connectController();
    void updateControls();
    void showItemsMenu(const QPoint &pos);
    void showAddMenu(QWidget *anchor);
    void openAddPanel(PanelKind kind, const std::optional<Item> &edited);
    void editRow(int row);
    int selectedItemRow() const;
    void showCopiedTip(int row);
    void holdDimming(QWidget *panel);
    CharacterPalette &palette();

    ManagerController &m_controller;
    ManagerServices m_services;
    DimmingLayer &m_blackLayer;
    std::function<void()> m_endGroupEditing;
    ItemsModel *m_itemsModel = nullptr;
    FileChooser m_chooseFile;

    ItemsTableView *tblviewItems = nullptr;
    QLineEdit *searchtextfield = nullptr;
    QStackedWidget *itemsStack = nullptr;
    QWidget *boxNoItem = nullptr;
    QToolButton *btnAddItem_ = nullptr;
    QToolButton *btnRemoveItem = nullptr;
    QToolButton *btnsortItems_ = nullptr;
    QPointer<AddPanelvc> m_addPanelvc;
    QPointer<EditFileFolderitemvc> m_editFileFolderitemvc;
    QPointer<PreviewWindow> m_previewWindow;
    CharacterPalette *m_palette = nullptr;
};
