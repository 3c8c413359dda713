#pragma once

#include "platform/HotKeyService.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QMap>
#include <QObject>

class QTimer;
struct xcb_connection_t;
struct _XCBKeySymbols;

// Global shortcuts on an X display: each combination is grabbed on the root
// windows with every NumLock/CapsLock variant, presses and releases come back
// through Qt's native event filter. A combination another client already
// grabbed (BadAccess) is a failed registration. Command is Ctrl, option is
// Alt, control is Super, shift is Shift.
class X11HotKeyService final : public QObject, public HotKeyService, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // On the connection of the running application (none outside X11).
    X11HotKeyService();
    ~X11HotKeyService() override;

    bool isAvailable() const override;
    qint32 registerEventHotKey(quint32 keyCode, quint32 modifiers, HotKeyId id, Reference *outReference) override;
    qint32 unregisterEventHotKey(Reference reference) override;
    qint32 installEventHandler(EventHandler handler, Reference *outReference) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The X keysym of a virtual key code; 0 for a key X has no symbol for.
    static quint32 keysymForKeyCode(quint32 keyCode);

private:
    struct GrabbedKey
    {
        quint32 window;
        quint8 keycode;
        quint16 modifiers;
    };
    struct Registration
    {
        quint32 keyCode = 0;
        quint32 carbonModifiers = 0;
        HotKeyId id;
        QList<quint8> keycodes;
        quint16 modifiers = 0;
        QList<GrabbedKey> grabs;
    };
    struct KeyDown
    {
        Reference registration = 0;
        quint32 releaseTime = 0;
        bool releasePending = false;
    };

    void readModifierMapping();
    quint16 xModifiers(quint32 carbonModifiers) const;
    QList<quint8> keycodesFor(quint32 keysym) const;
    QList<quint16> lockVariants() const;
    // Grabs every variant; on any refusal undoes the grabs made and returns
    // the status.
    qint32 grab(Registration &registration);
    void ungrab(Registration &registration);
    void renewGrabs();
    void keyPressed(quint8 keycode, quint16 state, quint32 time);
    void keyReleased(quint8 keycode, quint32 time);
    void deliverPendingReleases();
    void dispatch(quint32 kind, Reference registration);

    xcb_connection_t *m_connection = nullptr;
    _XCBKeySymbols *m_keySymbols = nullptr;
    QList<quint32> m_roots;
    quint16 m_numLockMask = 0;
    quint16 m_altMask = 0;
    quint16 m_superMask = 0;
    quint8 m_xkbFirstEvent = 0;
    QMap<Reference, Registration> m_registrations;
    QMap<quint8, KeyDown> m_keysDown;
    EventHandler m_handler;
    Reference m_lastReference = 0;
    QTimer *m_releaseTimer = nullptr;
    QTimer *m_renewTimer = nullptr;
};
