#include "hotkey/HotKey.h"

#include "hotkey/HotKeysController.h"

HotKey::HotKey(const KeyCombo &keyCombo, Handler keyDownHandler, Handler keyUpHandler)
    : m_identifier(QUuid::createUuid())
    , m_keyCombo(keyCombo)
    , m_keyDownHandler(std::move(keyDownHandler))
    , m_keyUpHandler(std::move(keyUpHandler))
    , m_link(std::make_shared<HotKey *>(this))
{
    HotKeysController::registerHotKey(*this);
}

HotKey::HotKey(quint32 carbonKeyCode, quint32 carbonModifiers, Handler keyDownHandler, Handler keyUpHandler)
    : HotKey(KeyCombo(carbonKeyCode, carbonModifiers), std::move(keyDownHandler), std::move(keyUpHandler))
{
}

HotKey::HotKey(Key key, ModifierFlags modifiers, Handler keyDownHandler, Handler keyUpHandler)
    : HotKey(KeyCombo(key, modifiers), std::move(keyDownHandler), std::move(keyUpHandler))
{
}

HotKey::~HotKey()
{
    HotKeysController::unregisterHotKey(*this);
}

void HotKey::setPaused(bool paused)
{
    m_isPaused = paused;
    if (paused)
        HotKeysController::unregisterHotKey(*this);
    else
        HotKeysController::registerHotKey(*this);
}
