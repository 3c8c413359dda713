#include "platform/DesktopStatusItem.h"

#include "platform/QtStatusItem.h"
#include "platform/StatusNotifierItem.h"

#include <QMenu>

DesktopStatusItem::DesktopStatusItem(const QDBusConnection &bus, bool offersXEmbed, const QString &currentDesktops,
                                     const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_item(new StatusNotifierItem(bus, this))
    , m_offersXEmbed(offersXEmbed)
    , m_currentDesktops(currentDesktops)
    , m_programFolder(programFolder)
{
    m_item->setTriggerHandler([this] { triggered(); });
    connect(m_item, &StatusNotifierItem::trayStateChanged, this, &DesktopStatusItem::trayStateChanged);
}

DesktopStatusItem::~DesktopStatusItem() = default;

bool DesktopStatusItem::isAvailable() const
{
    // Qt is asked only while no host is there: see QtStatusItem::trayAvailable.
    return m_item->isAvailable() || (m_offersXEmbed && QtStatusItem::trayAvailable());
}

QRect DesktopStatusItem::geometry() const
{
    return m_xembed ? m_xembed->geometry() : m_item->geometry();
}

void DesktopStatusItem::show(const QIcon &icon, const QString &toolTip, QMenu *menu)
{
    m_icon = icon;
    m_toolTip = toolTip;
    m_menu = menu;
    if (!m_shown)
        m_waitingForTray = !isAvailable();
    m_shown = true;
    m_item->show(icon, toolTip, menu);
    if (m_xembed)
        m_xembed->show(icon, toolTip, menu);
    trayStateChanged();
}

void DesktopStatusItem::setSymbolicIconName(const QString &iconName)
{
    m_item->setThemeIcon(TrayIconTheme::forDesktop(iconName, m_currentDesktops, m_programFolder));
}

void DesktopStatusItem::trayStateChanged()
{
    if (m_item->isAvailable()) {
        m_xembed.reset();
    } else if (m_shown && m_offersXEmbed && !m_xembed) {
        m_xembed = std::make_unique<QtStatusItem>();
        m_xembed->setTriggerHandler([this] { triggered(); });
        // Only noted: the XEmbed icon is still busy telling.
        m_xembed->setAppearedHandler([this] { noteTrayAppeared(); });
        m_xembed->show(m_icon, m_toolTip, m_menu);
    }
    noteTrayAppeared();
}

void DesktopStatusItem::noteTrayAppeared()
{
    if (m_waitingForTray && (m_item->isInTray() || (m_xembed && m_xembed->isAvailable()))) {
        m_waitingForTray = false;
        appeared();
    }
}
