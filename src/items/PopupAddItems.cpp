#include "items/PopupAddItems.h"

#include "items/BookmarkBox.h"
#include "items/CharacterPalette.h"
#include "items/ColorBox.h"
#include "items/FaviconFetcher.h"
#include "items/FileOrFolderDialog.h"
#include "items/NoteBox.h"
#include "quicklist/ViewController.h"

PopupAddItems::PopupAddItems(ViewController &popup, const ItemServices &services, PreferencesStore &preferences)
    : QObject(&popup)
    , m_popup(popup)
    , m_adder(services)
    , m_chooseFile(&FileOrFolderDialog::choose)
    , m_palette(std::make_unique<CharacterPalette>(preferences))
{
    popup.setAddItemHandler(AddItemKind::fileFolders, [this] { AddFileFolders(); });
    popup.setAddItemHandler(AddItemKind::webBookmark, [this] { AddWebBookmark(); });
    popup.setAddItemHandler(AddItemKind::textSnippet, [this] { AddTextSnnipet(); });
    popup.setAddItemHandler(AddItemKind::colorSwitch, [this] { AddColorSwitch(); });
    // An icon arrives after its item is shown: the rows draw it then.
    connect(&services.faviconFetcher, &FaviconFetcher::iconSaved, &popup, &ViewController::reloadQuickList);
}

PopupAddItems::~PopupAddItems() = default;

template<typename Box> void PopupAddItems::openBox(QPointer<Box> &box)
{
    if (!box) {
        box = new Box(m_adder, *m_palette, &m_popup);
        box->hide();
        connect(box, &Box::itemAdded, &m_popup, [this, box] { m_popup.showAddedItem(box->groupTitle()); });
        connect(box, &Box::closeRequested, &m_popup, &ViewController::closeInlineBox);
    }
    box->reset(m_popup.currentGroupName());
    m_popup.showInlineBox(box);
    box->focusTitle();
}

void PopupAddItems::AddFileFolders()
{
    const QString group = m_popup.currentGroupName();
    const bool wasShown = m_popup.isVisible();
    // Qt closes the popup when the modal dialog takes the input; it comes
    // back where it was, showing the new item.
    const auto path = m_chooseFile(&m_popup);
    if (path) {
        m_adder.addFile(group, *path);
        m_popup.showAddedItem(group);
    }
    if (wasShown && !m_popup.isVisible()) {
        m_popup.show();
        m_popup.raise();
        m_popup.activateWindow();
    }
}

void PopupAddItems::AddWebBookmark()
{
    openBox(m_bookmarkBox);
}

void PopupAddItems::AddTextSnnipet()
{
    openBox(m_noteBox);
}

void PopupAddItems::AddColorSwitch()
{
    openBox(m_colorBox);
}
