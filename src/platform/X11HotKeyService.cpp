#include "platform/X11HotKeyService.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

Q_LOGGING_CATEGORY(lcX11HotKeys, "brimble.platform.hotkeys")

namespace {

// X error code of a grab that another client holds.
constexpr quint8 badAccess = 10;
// XKB event kinds that announce a new keyboard mapping.
constexpr quint8 xkbNewKeyboardNotify = 0;
constexpr quint8 xkbMapNotify = 1;
// How long a release waits for the press that would make it an auto-repeat.
constexpr int releaseDelayMs = 30;

constexpr quint32 xkNumLock = 0xff7f;
constexpr quint32 xkAltL = 0xffe9;
constexpr quint32 xkAltR = 0xffea;
constexpr quint32 xkMetaL = 0xffe7;
constexpr quint32 xkSuperL = 0xffeb;
constexpr quint32 xkSuperR = 0xffec;

struct FreeDeleter
{
    void operator()(void *pointer) const { std::free(pointer); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Keysyms by macOS virtual key code (0 to 126); 0 where X has none.
constexpr quint32 keysymTable[0x7F] = {
    'a',    's',    'd',        'f',        'h',        'g',    'z',    'x',    'c',    'v',    // 0x00
    0,      'b',    'q',        'w',        'e',        'r',    'y',    't',    '1',    '2',    // 0x0A
    '3',    '4',    '6',        '5',        '=',        '9',    '7',    '-',    '8',    '0',    // 0x14
    ']',    'o',    'u',        '[',        'i',        'p',    0xff0d, 'l',    'j',    '\'',   // 0x1E
    'k',    ';',    '\\',       ',',        '/',        'n',    'm',    '.',    0xff09, ' ',    // 0x28
    '`',    0xff08, 0,          0xff1b,     0xffe4,     0xffe3, 0xffe1, 0xffe5, 0xffe9, 0xffeb, // 0x32
    0xffe2, 0xffea, 0xffec,     0,          0xffce,     0xffae, 0,      0xffaa, 0,      0xffab, // 0x3C
    0,      0xff0b, 0x1008ff13, 0x1008ff11, 0x1008ff12, 0xffaf, 0xff8d, 0,      0xffad, 0xffcf, // 0x46
    0xffd0, 0xffbd, 0xffb0,     0xffb1,     0xffb2,     0xffb3, 0xffb4, 0xffb5, 0xffb6, 0xffb7, // 0x50
    0xffd1, 0xffb8, 0xffb9,     0,          0,          0,      0xffc2, 0xffc3, 0xffc4, 0xffc0, // 0x5A
    0xffc5, 0xffc6, 0,          0xffc8,     0,          0xffca, 0xffcd, 0xffcb, 0,      0xffc7, // 0x64
    0,      0xffc9, 0,          0xffcc,     0xff6a,     0xff50, 0xff55, 0xffff, 0xffc1, 0xff57, // 0x6E
    0xffbf, 0xff56, 0xffbe,     0xff51,     0xff53,     0xff54, 0xff52,                         // 0x78
};

} // namespace

X11HotKeyService::X11HotKeyService()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    m_connection = x11 ? x11->connection() : nullptr;
    if (!m_connection)
        return;

    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); it.rem; xcb_screen_next(&it))
        m_roots.append(it.data->root);
    m_keySymbols = xcb_key_symbols_alloc(m_connection);
    readModifierMapping();

    static const char xkbName[] = "XKEYBOARD";
    XcbReply<xcb_query_extension_reply_t> xkb(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, sizeof xkbName - 1, xkbName), nullptr));
    if (xkb && xkb->present)
        m_xkbFirstEvent = xkb->first_event;

    m_releaseTimer = new QTimer(this);
    m_releaseTimer->setSingleShot(true);
    m_releaseTimer->setInterval(releaseDelayMs);
    connect(m_releaseTimer, &QTimer::timeout, this, &X11HotKeyService::deliverPendingReleases);
    // One mapping change comes as several events; the grabs are renewed once.
    m_renewTimer = new QTimer(this);
    m_renewTimer->setSingleShot(true);
    m_renewTimer->setInterval(0);
    connect(m_renewTimer, &QTimer::timeout, this, &X11HotKeyService::renewGrabs);

    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyService::~X11HotKeyService()
{
    if (!m_connection)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    for (Registration &registration : m_registrations)
        ungrab(registration);
    xcb_flush(m_connection);
    xcb_key_symbols_free(m_keySymbols);
}

bool X11HotKeyService::isAvailable() const
{
    return m_connection != nullptr;
}

quint32 X11HotKeyService::keysymForKeyCode(quint32 keyCode)
{
    return keyCode < std::size(keysymTable) ? keysymTable[keyCode] : 0;
}

void X11HotKeyService::readModifierMapping()
{
    m_numLockMask = 0;
    m_altMask = 0;
    m_superMask = 0;
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (mapping) {
        const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
        const int perModifier = mapping->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            const quint16 mask = quint16(1u << modifier);
            for (int slot = 0; slot < perModifier; ++slot) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + slot];
                if (keycode == 0)
                    continue;
                for (int column = 0; column < 4; ++column) {
                    const quint32 keysym = xcb_key_symbols_get_keysym(m_keySymbols, keycode, column);
                    if (keysym == xkNumLock)
                        m_numLockMask |= mask;
                    else if ((keysym == xkAltL || keysym == xkAltR || keysym == xkMetaL) && !m_altMask)
                        m_altMask = mask;
                    else if ((keysym == xkSuperL || keysym == xkSuperR) && !m_superMask)
                        m_superMask = mask;
                }
            }
        }
    }
    // The usual places when the mapping does not name them.
    if (!m_altMask)
        m_altMask = XCB_MOD_MASK_1;
    if (!m_superMask)
        m_superMask = XCB_MOD_MASK_4;
}

quint16 X11HotKeyService::xModifiers(quint32 carbonModifiers) const
{
    quint16 mask = 0;
    if (carbonModifiers & HotKeyService::commandKey)
        mask |= XCB_MOD_MASK_CONTROL;
    if (carbonModifiers & HotKeyService::shiftKey)
        mask |= XCB_MOD_MASK_SHIFT;
    if (carbonModifiers & HotKeyService::optionKey)
        mask |= m_altMask;
    if (carbonModifiers & HotKeyService::controlKey)
        mask |= m_superMask;
    return mask;
}

QList<quint8> X11HotKeyService::keycodesFor(quint32 keysym) const
{
    QList<quint8> result;
    XcbReply<xcb_keycode_t> keycodes(xcb_key_symbols_get_keycode(m_keySymbols, keysym));
    for (const xcb_keycode_t *code = keycodes.get(); code && *code != XCB_NO_SYMBOL; ++code) {
        if (!result.contains(*code))
            result.append(*code);
    }
    return result;
}

QList<quint16> X11HotKeyService::lockVariants() const
{
    QList<quint16> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLockMask)
        variants << m_numLockMask << quint16(m_numLockMask | XCB_MOD_MASK_LOCK);
    return variants;
}

qint32 X11HotKeyService::grab(Registration &registration)
{
    const quint32 keysym = keysymForKeyCode(registration.keyCode);
    registration.keycodes = keysym ? keycodesFor(keysym) : QList<quint8>();
    registration.modifiers = xModifiers(registration.carbonModifiers);
    if (registration.keycodes.isEmpty())
        return eventHotKeyInvalidErr;

    QList<xcb_void_cookie_t> cookies;
    QList<GrabbedKey> attempted;
    for (quint32 root : m_roots) {
        for (quint8 keycode : registration.keycodes) {
            for (quint16 variant : lockVariants()) {
                const quint16 modifiers = registration.modifiers | variant;
                cookies.append(xcb_grab_key_checked(m_connection, 0, root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                                    XCB_GRAB_MODE_ASYNC));
                attempted.append({root, keycode, modifiers});
            }
        }
    }
    qint32 status = noErr;
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookies[i]));
        if (!error) {
            registration.grabs.append(attempted[i]);
            continue;
        }
        qCInfo(lcX11HotKeys) << "X refused the grab of key" << attempted[i].keycode << "with modifiers"
                             << attempted[i].modifiers << "error" << error->error_code;
        if (status == noErr || error->error_code == badAccess)
            status = error->error_code == badAccess ? eventHotKeyExistsErr : eventHotKeyInvalidErr;
    }
    if (status != noErr)
        ungrab(registration);
    return status;
}

void X11HotKeyService::ungrab(Registration &registration)
{
    if (registration.grabs.isEmpty())
        return;
    for (const GrabbedKey &grabbed : std::as_const(registration.grabs))
        xcb_ungrab_key(m_connection, grabbed.keycode, grabbed.window, grabbed.modifiers);
    registration.grabs.clear();
    // A round trip, not just a flush: the server serves its clients in an
    // order of its own, so only a reply proves the keys are free for the
    // next program that asks for them.
    XcbReply<xcb_get_input_focus_reply_t> synced(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

qint32 X11HotKeyService::registerEventHotKey(quint32 keyCode, quint32 modifiers, HotKeyId id, Reference *outReference)
{
    if (!m_connection)
        return eventHotKeyInvalidErr;
    // X lets a client grab its own combination twice; the second registration
    // of one combination is refused all the same.
    for (const Registration &existing : std::as_const(m_registrations)) {
        if (existing.keyCode == keyCode && existing.carbonModifiers == modifiers)
            return eventHotKeyExistsErr;
    }
    Registration registration;
    registration.keyCode = keyCode;
    registration.carbonModifiers = modifiers;
    registration.id = id;
    const qint32 status = grab(registration);
    if (status != noErr)
        return status;
    *outReference = ++m_lastReference;
    m_registrations.insert(*outReference, registration);
    return noErr;
}

qint32 X11HotKeyService::unregisterEventHotKey(Reference reference)
{
    const auto found = m_registrations.find(reference);
    if (found == m_registrations.end())
        return eventHotKeyInvalidErr;
    ungrab(*found);
    m_registrations.erase(found);
    for (auto it = m_keysDown.begin(); it != m_keysDown.end();) {
        if (it->registration == reference)
            it = m_keysDown.erase(it);
        else
            ++it;
    }
    return noErr;
}

qint32 X11HotKeyService::installEventHandler(EventHandler handler, Reference *outReference)
{
    m_handler = std::move(handler);
    *outReference = ++m_lastReference;
    return noErr;
}

void X11HotKeyService::renewGrabs()
{
    xcb_key_symbols_free(m_keySymbols);
    m_keySymbols = xcb_key_symbols_alloc(m_connection);
    readModifierMapping();
    for (Registration &registration : m_registrations) {
        // Switching between keyboards announces a new keyboard too; grabs
        // whose keys and modifiers stay the same are left alone.
        if (registration.keycodes == keycodesFor(keysymForKeyCode(registration.keyCode))
            && registration.modifiers == xModifiers(registration.carbonModifiers)
            && registration.grabs.size() == registration.keycodes.size() * lockVariants().size() * m_roots.size()
            && std::all_of(registration.grabs.cbegin(), registration.grabs.cend(), [&](const GrabbedKey &grabbed) {
                   return lockVariants().contains(grabbed.modifiers & ~registration.modifiers);
               })) {
            continue;
        }
        ungrab(registration);
        if (grab(registration) != noErr)
            qCWarning(lcX11HotKeys) << "The hot key" << registration.keyCode << "could not be grabbed again"
                                    << "after the keyboard mapping changed";
    }
}

bool X11HotKeyService::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7F;
    switch (type) {
    case XCB_KEY_PRESS: {
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (!m_roots.contains(press->event))
            return false;
        keyPressed(press->detail, press->state, press->time);
        return true;
    }
    case XCB_KEY_RELEASE: {
        const auto *release = reinterpret_cast<const xcb_key_release_event_t *>(event);
        if (!m_roots.contains(release->event))
            return false;
        keyReleased(release->detail, release->time);
        return true;
    }
    case XCB_MAPPING_NOTIFY:
        m_renewTimer->start();
        return false;
    default:
        if (m_xkbFirstEvent && type == m_xkbFirstEvent) {
            // The second byte of every XKB event tells its kind.
            const quint8 xkbType = reinterpret_cast<const quint8 *>(event)[1];
            if (xkbType == xkbNewKeyboardNotify || xkbType == xkbMapNotify)
                m_renewTimer->start();
        }
        return false;
    }
}

void X11HotKeyService::keyPressed(quint8 keycode, quint16 state, quint32 time)
{
    const auto down = m_keysDown.find(keycode);
    if (down != m_keysDown.end()) {
        // Held down: either the server's auto-repeat release/press pair (same
        // time stamp) or a repeated press; one held press stays one press.
        if (!down->releasePending || down->releaseTime == time) {
            down->releasePending = false;
            return;
        }
        // A real release followed by a new press: deliver the release first.
        const Reference previous = down->registration;
        m_keysDown.erase(down);
        dispatch(hotKeyReleased, previous);
    }

    const quint16 significant = state & ~(m_numLockMask | XCB_MOD_MASK_LOCK)
                                & (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2
                                   | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5);
    for (auto it = m_registrations.cbegin(); it != m_registrations.cend(); ++it) {
        if (it->modifiers == significant && it->keycodes.contains(keycode)) {
            m_keysDown.insert(keycode, {it.key(), 0, false});
            dispatch(hotKeyPressed, it.key());
            return;
        }
    }
}

void X11HotKeyService::keyReleased(quint8 keycode, quint32 time)
{
    const auto down = m_keysDown.find(keycode);
    if (down == m_keysDown.end())
        return;
    down->releasePending = true;
    down->releaseTime = time;
    m_releaseTimer->start();
}

void X11HotKeyService::deliverPendingReleases()
{
    // A key the server still holds down is auto-repeating: its press is on
    // the way, however late this process gets to read it.
    const XcbReply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr));
    const auto heldDown = [&keymap](quint8 keycode) {
        return keymap && (keymap->keys[keycode / 8] & (1 << (keycode % 8)));
    };
    QList<Reference> released;
    for (auto it = m_keysDown.begin(); it != m_keysDown.end();) {
        if (it->releasePending && heldDown(it.key())) {
            it->releasePending = false;
            ++it;
        } else if (it->releasePending) {
            released.append(it->registration);
            it = m_keysDown.erase(it);
        } else {
            ++it;
        }
    }
    for (Reference registration : released)
        dispatch(hotKeyReleased, registration);
}

void X11HotKeyService::dispatch(quint32 kind, Reference registration)
{
    const auto found = m_registrations.constFind(registration);
    if (found == m_registrations.cend() || !m_handler)
        return;
    const Event event{kind, found->id, noErr};
    // A copy runs: the handler may unregister and so replace state here.
    const EventHandler handler = m_handler;
    handler(&event);
}
