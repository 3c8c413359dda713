#pragma once

#include "hotkey/KeyCombo.h"

#include <QUuid>

#include <functional>
#include <memory>

// One system-wide keyboard shortcut, registered with HotKeysController from
// construction until it is paused or destroyed.
class HotKey final
{
public:
    using Handler = std::function<void()>;

    explicit HotKey(const KeyCombo &keyCombo, Handler keyDownHandler = {}, Handler keyUpHandler = {});
    HotKey(quint32 carbonKeyCode, quint32 carbonModifiers, Handler keyDownHandler = {}, Handler keyUpHandler = {});
    HotKey(Key key, ModifierFlags modifiers, Handler keyDownHandler = {}, Handler keyUpHandler = {});
    ~HotKey();

    HotKey(const HotKey &) = delete;
    HotKey &operator=(const HotKey &) = delete;

    const QUuid &identifier() const { return m_identifier; }
    const KeyCombo &keyCombo() const { return m_keyCombo; }

    const Handler &keyDownHandler() const { return m_keyDownHandler; }
    void setKeyDownHandler(Handler handler) { m_keyDownHandler = std::move(handler); }
    const Handler &keyUpHandler() const { return m_keyUpHandler; }
    void setKeyUpHandler(Handler handler) { m_keyUpHandler = std::move(handler); }

    bool isPaused() const { return m_isPaused; }
    // Paused, the combination is given back to the system and no handler runs;
    // resumed, it is registered again under a new number.
    void setPaused(bool paused);

    // What the registry's weak links point at: it lives exactly as long as
    // this object.
    std::weak_ptr<HotKey *> weakLink() const { return m_link; }

private:
    QUuid m_identifier;
    KeyCombo m_keyCombo;
    Handler m_keyDownHandler;
    Handler m_keyUpHandler;
    bool m_isPaused = false;
    std::shared_ptr<HotKey *> m_link;
};
