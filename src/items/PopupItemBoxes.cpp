#include "items/PopupItemBoxes.h"

#include "items/BookmarkBox.h"
#include "items/CharacterPalette.h"
#include "items/ColorBox.h"
#include "items/DroppedFilesAdder.h"
#include "items/FaviconFetcher.h"
#include "items/FileDropArea.h"
#include "items/FileOrFolderDialog.h"
#include "items/NoteBox.h"
#include "quicklist/QuickListPage.h"
#include "store/FavoritesStore.h"
#include "store/ViewLinks.h"

#include <QMimeData>
#include <QUrl>

namespace {

// The web addresses among what data carries.
QList<QUrl> webAddresses(const QMimeData &data)
{
    QList<QUrl> addresses;
    for (const QUrl &url : data.urls()) {
        const QString scheme = url.scheme().toLower();
        if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
            addresses.append(url);
    }
    return addresses;
}

// A dropped address's bookmark is named for its site: "example.org" for
// https://www.example.org/page.
QString siteName(const QUrl &address)
{
    const QString host = address.host();
    return host.startsWith(QLatin1String("www.")) ? host.mid(4) : host;
}

} // namespace

PopupItemBoxes::PopupItemBoxes(QuickListPage &page, const ItemServices &services, PreferencesStore &preferences)
    : QObject(&page)
    , m_page(page)
    , m_services(services)
    , m_adder(services)
    , m_chooseFile(&FileOrFolderDialog::choose)
    , m_palette(std::make_unique<CharacterPalette>(preferences))
{
    page.setAddItemHandler(AddItemKind::fileFolders, [this] { AddFileFolders(); });
    page.setAddItemHandler(AddItemKind::webBookmark, [this] { AddWebBookmark(); });
    page.setAddItemHandler(AddItemKind::textSnippet, [this] { AddTextSnnipet(); });
    page.setAddItemHandler(AddItemKind::colorSwitch, [this] { AddColorSwitch(); });
    page.setDropHandler({&PopupItemBoxes::carriesDroppable,
                         [this](const QString &group, const QMimeData &data) { return addDropped(group, data); }});
    // An icon arrives after its item is shown: the rows draw it then.
    connect(&services.faviconFetcher, &FaviconFetcher::iconSaved, &page, &QuickListPage::reloadQuickList);
}

PopupItemBoxes::~PopupItemBoxes() = default;

template<typename Box>
void PopupItemBoxes::openBox(QPointer<Box> &box)
{
    if (!box) {
        box = new Box(m_adder, *m_palette, &m_page);
        box->hide();
        connect(box, &Box::itemAdded, &m_page, [this, box] { m_page.showAddedItem(box->groupTitle()); });
        connect(box, &Box::closeRequested, &m_page, &QuickListPage::closeInlineBox);
    }
    box->reset(m_page.currentGroupName());
    m_page.showInlineBox(box);
    box->focusTitle();
}

void PopupItemBoxes::AddFileFolders()
{
    const QString group = m_page.currentGroupName();
    QWidget *popup = m_page.window();
    const bool wasShown = popup->isVisible();
    // Qt closes the popup when the modal dialog takes the input; it comes
    // back where it was, showing the new item.
    const auto path = m_chooseFile(popup);
    if (path) {
        m_adder.addFile(group, *path);
        m_page.showAddedItem(group);
    }
    if (wasShown && !popup->isVisible()) {
        popup->show();
        popup->raise();
        popup->activateWindow();
    }
}

void PopupItemBoxes::AddWebBookmark()
{
    openBox(m_bookmarkBox);
}

void PopupItemBoxes::AddTextSnnipet()
{
    openBox(m_noteBox);
}

void PopupItemBoxes::AddColorSwitch()
{
    openBox(m_colorBox);
}

bool PopupItemBoxes::carriesDroppable(const QMimeData &data)
{
    return FileDropArea::droppedFiles(&data).has_value() || !webAddresses(data).isEmpty();
}

bool PopupItemBoxes::addDropped(const QString &groupTitle, const QMimeData &data)
{
    bool added = false;
    if (const auto paths = FileDropArea::droppedFiles(&data)) {
        QList<Item> items = m_services.favorites.items(groupTitle);
        added = DroppedFilesAdder(m_services).addDroppedFiles(groupTitle, items, *paths).has_value();
        m_services.links.requestManagerGroupsReload();
    }
    for (const QUrl &address : webAddresses(data))
        added = m_adder.addBookmark(groupTitle, siteName(address), address.toString()).ok() || added;
    if (added)
        m_page.showAddedItem(groupTitle);
    return added;
}
