#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

// The system-wide hot-key facility: registers a key combination for the whole
// desktop and reports its presses and releases to one event handler. Key codes
// are macOS virtual key codes and modifiers Carbon modifier bits (commandKey
// and the others below), the form in which shortcuts are stored; each
// implementation maps them to its own keys.
class HotKeyService
{
public:
    // Statuses, with the values of the Carbon event manager.
    static constexpr qint32 noErr = 0;
    static constexpr qint32 eventParameterNotFoundErr = -9870;
    static constexpr qint32 eventNotHandledErr = -9874;
    static constexpr qint32 eventHotKeyExistsErr = -9878;
    static constexpr qint32 eventHotKeyInvalidErr = -9879;

    // The Carbon modifier bits.
    static constexpr quint32 commandKey = 0x100;
    static constexpr quint32 shiftKey = 0x200;
    static constexpr quint32 optionKey = 0x800;
    static constexpr quint32 controlKey = 0x1000;

    // The event kinds a handler receives.
    static constexpr quint32 hotKeyPressed = 5;
    static constexpr quint32 hotKeyReleased = 6;
    // Sent by a service that learns only after registerEventHotKey returned
    // that the desktop refused the combination (a portal answers later).
    static constexpr quint32 hotKeyRefused = 100;

    // What names one registration: the registrant's signature and its number.
    struct HotKeyId
    {
        quint32 signature = 0;
        quint32 id = 0;
    };

    struct Event
    {
        quint32 kind = hotKeyPressed;
        HotKeyId hotKeyId;
        // The status of reading hotKeyId from the event; noErr when it holds one.
        qint32 idStatus = noErr;
    };

    // An opaque registration or handler reference; 0 is none.
    using Reference = quint64;
    using EventHandler = std::function<qint32(const Event *event)>;

    virtual ~HotKeyService() = default;

    // False where the session offers no global key grabs at all (Wayland, no
    // display); every registration then fails.
    virtual bool isAvailable() const = 0;

    // Makes the combination system-wide. noErr and a reference other than 0 on
    // success; eventHotKeyExistsErr when another program holds it.
    virtual qint32 registerEventHotKey(quint32 keyCode, quint32 modifiers, HotKeyId id, Reference *outReference) = 0;
    virtual qint32 unregisterEventHotKey(Reference reference) = 0;
    // The handler is called on the main thread for every press and release.
    virtual qint32 installEventHandler(EventHandler handler, Reference *outReference) = 0;

    // True where the desktop, not this program, owns the key: it may bind
    // another trigger than the one asked for, or none, and says which.
    virtual bool isDesktopBound() const { return false; }
    // The trigger the desktop bound, in its own words ("Ctrl+Alt+K"); empty
    // while nothing is bound or where isDesktopBound() is false.
    virtual QString boundTriggerDescription() const { return {}; }
    // Called on the main thread whenever boundTriggerDescription() changes.
    virtual void setBindingChangedHandler(std::function<void()> handler) { Q_UNUSED(handler) }
    // What the shortcut does, as the desktop lists it in its own settings.
    virtual void setShortcutDescription(const QString &description) { Q_UNUSED(description) }
};

// The service for this session: on a Wayland session whose desktop portal
// offers global shortcuts, the portal; else X11 grabs when the application
// runs on an X display; otherwise one that is not available.
std::unique_ptr<HotKeyService> createHotKeyService();
