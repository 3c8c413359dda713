#pragma once

#include "platform/HotKeyService.h"

#include <QUuid>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class HotKey;

// The process-wide registry of hot keys: numbers every registration from 1
// (never reusing a number within a run), keeps a weak link from each number
// to its HotKey, installs one event handler with the hot-key service and
// routes each press and release to the right object's handlers. Everything
// runs on the main thread.
class HotKeysController final
{
public:
    // "Bmbl", first character in the highest byte.
    static constexpr quint32 hotKeySignature = 0x426D626C;

    struct HotKeyBox
    {
        QUuid identifier;
        std::weak_ptr<HotKey *> hotKey;
        quint32 carbonHotKeyID = 0;
        HotKeyService::Reference carbonEventHotKey = 0;
    };

    HotKeysController() = delete;

    // The service registrations go to; without one every registration fails.
    // Replacing the service lets the handler be installed on the new one.
    static void setService(HotKeyService *service);
    static HotKeyService *service();

    // The routine run when the system refuses a combination.
    static void setRegistrationFailedHandler(std::function<void()> handler);

    static void registerHotKey(HotKey &hotKey);
    static void unregisterHotKey(HotKey &hotKey);
    // The object registered under number; an entry whose object has gone away
    // is removed on the way.
    static HotKey *lookUpHotKey(quint32 number);
    static void installHandlerIfNeeded();
    static qint32 dispatchHotKeyEvent(const HotKeyService::Event *event);

    static quint32 registrationCount();
    static const std::map<quint32, HotKeyBox> &registrations();
    // The number hotKey is registered under, if it has a box.
    static std::optional<quint32> registrationNumber(const HotKey &hotKey);

    // Cuts a box's link as if its object had gone without unregistering, so
    // that tests can reach the sweep of dead entries.
    static void detachForTesting(quint32 number);
};
