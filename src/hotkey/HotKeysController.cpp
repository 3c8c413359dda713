#include "hotkey/HotKeysController.h"

#include "hotkey/HotKey.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHotKey, "brimble.hotkey")

namespace {

struct RegistryState
{
    std::map<quint32, HotKeysController::HotKeyBox> registrations;
    quint32 registrationCount = 0;
    HotKeyService::Reference handlerReference = 0;
    HotKeyService *service = nullptr;
    std::function<void()> registrationFailed;
};

RegistryState &state()
{
    static RegistryState registry;
    return registry;
}

std::map<quint32, HotKeysController::HotKeyBox>::iterator boxOf(const HotKey &hotKey)
{
    auto &boxes = state().registrations;
    return std::find_if(boxes.begin(), boxes.end(),
                        [&](const auto &entry) { return entry.second.identifier == hotKey.identifier(); });
}

void runRegistrationFailed()
{
    // Copied: the routine may replace the handler while it runs.
    if (const std::function<void()> failed = state().registrationFailed)
        failed();
}

} // namespace

void HotKeysController::setService(HotKeyService *service)
{
    state().service = service;
    state().handlerReference = 0;
    installHandlerIfNeeded();
}

HotKeyService *HotKeysController::service()
{
    return state().service;
}

void HotKeysController::setRegistrationFailedHandler(std::function<void()> handler)
{
    state().registrationFailed = std::move(handler);
}

void HotKeysController::registerHotKey(HotKey &hotKey)
{
    RegistryState &registry = state();
    if (boxOf(hotKey) != registry.registrations.end())
        return;

    const quint32 number = ++registry.registrationCount;
    // The box goes in before the system call, so that an event arriving for
    // this number during registration already finds it.
    HotKeyBox &box = registry.registrations[number];
    box.identifier = hotKey.identifier();
    box.hotKey = hotKey.weakLink();
    box.carbonHotKeyID = number;

    const KeyCombo &combo = hotKey.keyCombo();
    HotKeyService::Reference reference = 0;
    qint32 status = HotKeyService::eventHotKeyInvalidErr;
    if (registry.service) {
        status = registry.service->registerEventHotKey(combo.carbonKeyCode(), combo.carbonModifiers(),
                                                       {hotKeySignature, number}, &reference);
    }
    if (status == HotKeyService::noErr && reference != 0) {
        box.carbonEventHotKey = reference;
        installHandlerIfNeeded();
        return;
    }

    qCInfo(lcHotKey) << "The system refused the hot key" << combo.carbonKeyCode() << combo.carbonModifiers() << "status"
                     << status;
    runRegistrationFailed();
}

void HotKeysController::unregisterHotKey(HotKey &hotKey)
{
    RegistryState &registry = state();
    const auto found = boxOf(hotKey);
    if (found == registry.registrations.end())
        return;
    HotKeyBox &box = found->second;
    // A box whose registration was refused holds no reference; the service
    // declines that, and the answer does not matter.
    if (registry.service)
        registry.service->unregisterEventHotKey(box.carbonEventHotKey);
    box.hotKey.reset();
    registry.registrations.erase(found);
}

HotKey *HotKeysController::lookUpHotKey(quint32 number)
{
    auto &boxes = state().registrations;
    const auto found = boxes.find(number);
    if (found == boxes.end())
        return nullptr;
    const std::shared_ptr<HotKey *> link = found->second.hotKey.lock();
    if (!link) {
        boxes.erase(found);
        return nullptr;
    }
    return *link;
}

void HotKeysController::installHandlerIfNeeded()
{
    RegistryState &registry = state();
    if (registry.registrationCount == 0 || registry.handlerReference != 0 || !registry.service)
        return;
    registry.service->installEventHandler(&HotKeysController::dispatchHotKeyEvent, &registry.handlerReference);
}

qint32 HotKeysController::dispatchHotKeyEvent(const HotKeyService::Event *event)
{
    if (!event)
        return HotKeyService::eventNotHandledErr;
    if (event->idStatus != HotKeyService::noErr)
        return event->idStatus;
    if (event->hotKeyId.signature != hotKeySignature)
        return HotKeyService::eventNotHandledErr;

    HotKey *hotKey = lookUpHotKey(event->hotKeyId.id);
    if (hotKey && event->kind == HotKeyService::hotKeyRefused) {
        // The desktop turned the combination down after accepting the request.
        qCInfo(lcHotKey) << "The desktop refused hot key" << event->hotKeyId.id;
        runRegistrationFailed();
        return HotKeyService::noErr;
    }
    if (!hotKey) {
        state().registrations.erase(event->hotKeyId.id);
        return HotKeyService::eventNotHandledErr;
    }

    HotKey::Handler handler;
    switch (event->kind) {
    case HotKeyService::hotKeyReleased:
        if (hotKey->isPaused())
            return HotKeyService::eventNotHandledErr;
        handler = hotKey->keyUpHandler();
        break;
    case HotKeyService::hotKeyPressed:
        if (hotKey->isPaused())
            return HotKeyService::eventNotHandledErr;
        handler = hotKey->keyDownHandler();
        break;
    default:
        return HotKeyService::eventNotHandledErr;
    }
    if (!handler)
        return HotKeyService::eventNotHandledErr;
    // A copy runs, because the handler may well destroy its own hot key.
    handler();
    return HotKeyService::noErr;
}

quint32 HotKeysController::registrationCount()
{
    return state().registrationCount;
}

const std::map<quint32, HotKeysController::HotKeyBox> &HotKeysController::registrations()
{
    return state().registrations;
}

std::optional<quint32> HotKeysController::registrationNumber(const HotKey &hotKey)
{
    const auto found = boxOf(hotKey);
    if (found == state().registrations.end())
        return std::nullopt;
    return found->first;
}

void HotKeysController::detachForTesting(quint32 number)
{
    const auto found = state().registrations.find(number);
    if (found != state().registrations.end())
        found->second.hotKey.reset();
}
