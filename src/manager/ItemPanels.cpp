#include "manager/ItemPanels.h"

#include "items/AddItemPanel.h"
#include "items/CharacterPalette.h"
#include "items/EditItemPanel.h"
#include "items/FileOrFolderDialog.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "widgets/DimmingLayer.h"

ItemPanels::ItemPanels(ManagerGroups &groups, ManagerItems &items, const ManagerServices &services,
                       DimmingLayer &blackLayer, QWidget *pane)
    : QObject(pane)
    , m_groups(groups)
    , m_items(items)
    , m_services(services)
    , m_blackLayer(blackLayer)
    , m_pane(pane)
{
}

void ItemPanels::AddFileFolders()
{
    if (m_groups.selectedRow() < 0)
        return;
    std::optional<QString> path;
    {
        const DimmingLayer::Scope dimmed(m_blackLayer);
        path = m_chooseFile ? m_chooseFile(m_pane) : FileOrFolderDialog::choose(m_pane->window());
    }
    if (path)
        m_items.addDroppedFiles({*path});
}

void ItemPanels::AddWebBookmark()
{
    openAddPanel(PanelKind::webBookmark, std::nullopt);
}

void ItemPanels::AddTextSnnipet()
{
    openAddPanel(PanelKind::textFile, std::nullopt);
}

void ItemPanels::AddColorSwitch()
{
    openAddPanel(PanelKind::colorWell, std::nullopt);
}

CharacterPalette &ItemPanels::palette()
{
    if (!m_palette)
        m_palette = new CharacterPalette(m_services.preferences, m_pane);
    return *m_palette;
}

void ItemPanels::holdDimming(QDialog *panel)
{
    m_blackLayer.hold();
    connect(
        panel, &QDialog::finished, this, [this] { m_blackLayer.release(); }, Qt::SingleShotConnection);
}

void ItemPanels::openAddPanel(PanelKind kind, const std::optional<Item> &edited)
{
    if (m_groups.selectedRow() < 0)
        return;
    if (!m_addPanelvc) {
        m_addPanelvc = new AddItemPanel(m_services.items(), palette(), m_pane);
        connect(m_addPanelvc, &AddItemPanel::saved, &m_items, &ManagerItems::selectedItemsStored);
    }
    holdDimming(m_addPanelvc);
    m_addPanelvc->showPanel(kind, m_groups.selectedGroupTitle(), edited);
}

void ItemPanels::edit(const Item &item)
{
    if (!item.uid())
        return;
    switch (item.kind()) {
    case ItemKind::normalFile:
        if (!m_editFileFolderitemvc) {
            m_editFileFolderitemvc = new EditItemPanel(m_services.items(), palette(), m_pane);
            connect(m_editFileFolderitemvc, &EditItemPanel::saved, &m_items, &ManagerItems::selectedItemsStored);
        }
        holdDimming(m_editFileFolderitemvc);
        m_editFileFolderitemvc->showPanel(m_groups.selectedGroupTitle(), item);
        break;
    case ItemKind::bookmark:
        openAddPanel(PanelKind::webBookmark, item);
        break;
    case ItemKind::text:
        openAddPanel(PanelKind::textFile, item);
        break;
    case ItemKind::color:
        openAddPanel(PanelKind::colorWell, item);
        break;
    case ItemKind::unknown:
        break;
    }
}
