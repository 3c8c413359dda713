#include "platform/HotKeyService.h"

#include "platform/X11HotKeyService.h"

namespace {

// Where the session offers no global grabs (Wayland, no display): every
// registration is refused, without noise.
class UnavailableHotKeyService final : public HotKeyService
{
public:
    bool isAvailable() const override { return false; }
    qint32 registerEventHotKey(quint32, quint32, HotKeyId, Reference *) override
    {
        return eventHotKeyInvalidErr;
    }
    qint32 unregisterEventHotKey(Reference) override { return eventHotKeyInvalidErr; }
    qint32 installEventHandler(EventHandler, Reference *outReference) override
    {
        *outReference = 1;
        return noErr;
    }
};

} // namespace

std::unique_ptr<HotKeyService> createHotKeyService()
{
    auto x11 = std::make_unique<X11HotKeyService>();
    if (x11->isAvailable())
        return x11;
    return std::make_unique<UnavailableHotKeyService>();
}
