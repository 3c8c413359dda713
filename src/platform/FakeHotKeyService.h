#pragma once

#include "platform/HotKeyService.h"

#include <QList>
#include <QMap>
#include <QPair>

// A hot-key service for tests: registrations are kept in a table, a
// combination can be marked as held by another program, and presses and
// releases are sent by hand.
class FakeHotKeyService final : public HotKeyService
{
public:
    struct Registration
    {
        quint32 keyCode = 0;
        quint32 modifiers = 0;
        HotKeyId id;
    };

    bool isAvailable() const override { return available; }

    qint32 registerEventHotKey(quint32 keyCode, quint32 modifiers, HotKeyId id, Reference *outReference) override
    {
        ++registerCalls;
        if (onRegister)
            onRegister(id);
        if (!available || taken.contains({keyCode, modifiers}) || holds(keyCode, modifiers))
            return eventHotKeyExistsErr;
        *outReference = ++m_lastReference;
        registrations.insert(*outReference, {keyCode, modifiers, id});
        return noErr;
    }

    qint32 unregisterEventHotKey(Reference reference) override
    {
        unregistered.append(reference);
        return registrations.remove(reference) ? noErr : eventHotKeyInvalidErr;
    }

    qint32 installEventHandler(EventHandler eventHandler, Reference *outReference) override
    {
        ++handlerInstalls;
        handler = std::move(eventHandler);
        *outReference = ++m_lastReference;
        return noErr;
    }

    // Sends an event to the installed handler; eventNotHandledErr without one.
    qint32 send(const Event &event) { return handler ? handler(&event) : eventNotHandledErr; }
    qint32 press(quint32 signature, quint32 id) { return send({hotKeyPressed, {signature, id}}); }
    qint32 release(quint32 signature, quint32 id) { return send({hotKeyReleased, {signature, id}}); }

    bool isDesktopBound() const override { return desktopBound; }
    QString boundTriggerDescription() const override { return boundTrigger; }
    void setBindingChangedHandler(std::function<void()> onChange) override { bindingChanged = std::move(onChange); }
    void setShortcutDescription(const QString &description) override { shortcutDescription = description; }

    // The desktop reports trigger as bound (desktopBound services only).
    void bind(const QString &trigger)
    {
        boundTrigger = trigger;
        if (bindingChanged)
            bindingChanged();
    }

    bool holds(quint32 keyCode, quint32 modifiers) const
    {
        for (const Registration &registration : registrations) {
            if (registration.keyCode == keyCode && registration.modifiers == modifiers)
                return true;
        }
        return false;
    }

    bool available = true;
    // Combinations (key code, modifiers) held by another program.
    QList<QPair<quint32, quint32>> taken;
    QMap<Reference, Registration> registrations;
    QList<Reference> unregistered;
    EventHandler handler;
    // Called at the start of each registration.
    std::function<void(HotKeyId)> onRegister;
    int registerCalls = 0;
    int handlerInstalls = 0;
    // Playing a desktop that binds keys itself, as the portal does.
    bool desktopBound = false;
    QString boundTrigger;
    std::function<void()> bindingChanged;
    QString shortcutDescription;

private:
    Reference m_lastReference = 0;
};
