#pragma once

#include "manager/ManagerServices.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class AddPanelvc;
class CharacterPalette;
class DimmingLayer;
class EditFileFolderitemvc;
class GroupsModel;
class GroupsTableView;
class ItemsModel;
class ItemsTableView;
class ManagerController;
class PreviewWindow;
class QLabel;
class QLineEdit;
class QMessageBox;
class QStackedWidget;
class QToolButton;
enum class PanelKind;

// The manager window's page of groups and items: the groups pane on the
// left, the selected group's items on the right, each with its add and
// remove controls, sort menu and context menu; the add and edit panels,
// drag and drop and the preview. Alerts and panels dim the window through
// the container's dimming layer. Created once per process.
class MakeshortcutsVc final : public QWidget
{
    Q_OBJECT

public:
    // Runs the dialog that picks one file or folder; nothing when cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget *parent)>;

    MakeshortcutsVc(const ManagerServices &services, DimmingLayer &blackLayer, QWidget *parent = nullptr);
    ~MakeshortcutsVc() override;

    ManagerController &controller() const { return *m_controller; }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

public Q_SLOTS:
    // Reads the stored groups again (after the popup or the window
    // container changed them).
    void reloadGroups();

    // Groups pane.
    void btnaddgroup();
    void btnremovegroup();
    void makeLabelStartEditing();
    void alertforSamegroup();
    void alertforDeletegroup();
    void btnsortGroups();

    // Items pane.
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
    QWidget *buildGroupsPane();
    QWidget *buildItemsPane();
    void connectController();
    void updateControls();
    void syncGroupSelection();
    // Commits a group name being edited, rename included.
    void endEditing();
    void showGroupsMenu(const QPoint &pos);
    void showItemsMenu(const QPoint &pos);
    void showAddMenu(QWidget *anchor);
    void openAddPanel(PanelKind kind, const std::optional<QVariantMap> &edited);
    void editRow(int row);
    int selectedItemRow() const;
    void changegroupBoxColor(int row, const QRect &anchor);
    void showCopiedTip(int row);
    void holdDimming(QWidget *panel);
    CharacterPalette &palette();

    ManagerServices m_services;
    DimmingLayer &m_blackLayer;
    ManagerController *m_controller = nullptr;
    GroupsModel *m_groupsModel = nullptr;
    ItemsModel *m_itemsModel = nullptr;
    FileChooser m_chooseFile;
    bool m_syncingSelection = false;
    int Rowforcolorchange = -1;

    GroupsTableView *tblviewgroup = nullptr;
    QToolButton *btnAddGroup = nullptr;
    QToolButton *btnRemoveGroup = nullptr;
    QToolButton *btnsortGroups_ = nullptr;
    ItemsTableView *tblviewItems = nullptr;
    QLineEdit *searchtextfield = nullptr;
    QStackedWidget *itemsStack = nullptr;
    QWidget *boxNoItem = nullptr;
    QToolButton *btnAddItem_ = nullptr;
    QToolButton *btnRemoveItem = nullptr;
    QToolButton *btnsortItems_ = nullptr;
    QPointer<QMessageBox> m_sameGroupAlert;
    QPointer<AddPanelvc> m_addPanelvc;
    QPointer<EditFileFolderitemvc> m_editFileFolderitemvc;
    QPointer<PreviewWindow> m_previewWindow;
    CharacterPalette *m_palette = nullptr;
};
