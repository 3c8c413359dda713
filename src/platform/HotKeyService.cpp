#include "platform/HotKeyService.h"

#include "platform/PortalHotKeyService.h"
#include "platform/X11HotKeyService.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace {

// Where the session offers no global grabs (Wayland, no display): every
// registration is refused, without noise.
class UnavailableHotKeyService final : public HotKeyService
{
public:
    bool isAvailable() const override { return false; }
    qint32 registerEventHotKey(quint32, quint32, HotKeyId, Reference *) override { return eventHotKeyInvalidErr; }
    qint32 unregisterEventHotKey(Reference) override { return eventHotKeyInvalidErr; }
    qint32 installEventHandler(EventHandler, Reference *outReference) override
    {
        *outReference = 1;
        return noErr;
    }
};

bool isWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

std::unique_ptr<HotKeyService> createHotKeyService()
{
    // Under Wayland an X11 grab (through XWayland) only sees keys typed into
    // X windows, so the portal comes first there.
    if (isWaylandSession()) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        // An application outside a sandbox tells the portal who it is first,
        // so that the desktop names it and keeps its shortcuts under its id.
        if (bus.isConnected())
            PortalHotKeyService::registerApplication(bus, QGuiApplication::desktopFileName());
        if (bus.isConnected() && PortalHotKeyService::portalOffersShortcuts(bus))
            return std::make_unique<PortalHotKeyService>(bus);
    }
    auto x11 = std::make_unique<X11HotKeyService>();
    if (x11->isAvailable())
        return x11;
    return std::make_unique<UnavailableHotKeyService>();
}
