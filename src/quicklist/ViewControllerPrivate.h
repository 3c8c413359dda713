#pragma once

// The popup's state and its wiring, shared by ViewController's sources.

#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/PopupKeys.h"
#include "quicklist/QuickList.h"
#include "quicklist/RowDelegate.h"
#include "quicklist/TaskList.h"
#include "quicklist/ViewController.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>
#include <optional>

class AddGroupBox;
class PopoverContainerVc;
class QuickListModel;
class QuickListView;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

class ViewController::Private
{
public:
    Private(ViewController *owner, const QuickListServices &shared, PopupWindowStyle style);

    void buildViews();
    QWidget *buildListPage();
    void updateBoxHeight();
    void updateEmptyState();
    void place();

    void btnsearchclicked();
    void searchTextChanged(const QString &text);
    void searchFieldDidEndSearching();
    PopupKeys::State keyState() const;
    // Carries out what PopupKeys decides for a key; true when the key was
    // the popup's. inSearchField: the search field has it (and takes text).
    bool handleKey(QKeyEvent *event, bool inSearchField);
    void moveFocus(bool forward);

    void rowClicked(int row, RowDelegate::Part part);
    void showContextMenu(int row, const QPoint &globalPos);
    void closeAfterOpening(QMenu *menu);
    void addItemClicked(int row);
    void changegroupBoxColor(int row);
    void getSubitems(int row);
    void showCopiedTooltip(int row);

    void btncreateGroup();
    void btnadd_boxaddGroup();

    ViewController *q;
    QuickListServices services;
    PopupWindowStyle windowStyle;
    QuickList quickList;
    ItemActions itemActions;
    GroupActions groupActions;
    TaskList taskList;

    QuickListModel *model = nullptr;
    QuickListView *tableView = nullptr;
    RowDelegate *delegate = nullptr;
    PopoverContainerVc *container = nullptr;
    QWidget *listPage = nullptr;
    QWidget *toolbar = nullptr;
    QToolButton *btnsearch = nullptr;
    QLabel *imgviewsearch = nullptr;
    QLineEdit *searchtextfield = nullptr;
    QToolButton *btncreateGroupButton = nullptr;
    QToolButton *btnsort = nullptr;
    QToolButton *btnsettings = nullptr;
    QWidget *emptyState = nullptr;
    AddGroupBox *boxAddGroup = nullptr;
    QPointer<QWidget> inlineBox;
    QPointer<QMenu> subItemsmenu;

    QString currentGroupName;
    bool subViewAdded = false;
    bool showFolderContents = false;
    bool menuisopend = false;
    int folderRequest = 0;
    int Rowforcolorchange = -1;
    int indexForColorChange = -1;
    int boxheight = 430;
    std::optional<int> screenHeight;
    QRect trayIconGeometry;
    QPoint cursorAtShow;
    std::array<std::function<void()>, 4> addHandlers;
    QElapsedTimer sinceHidden;
};
