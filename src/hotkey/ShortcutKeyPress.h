#pragma once

#include "hotkey/ModifierFlags.h"

#include <QString>

// One key press as the shortcut recorder sees it.
struct ShortcutKeyPress
{
    // The virtual key code of the key, or noKeyCode for a key without one.
    static constexpr quint32 noKeyCode = 0xFFFF;

    quint32 keyCode = noKeyCode;
    // What the key types without modifiers, but with shift; empty for keys
    // that type nothing.
    QString characters;
    ModifierFlags modifiers;

    // The press of a Qt key with the modifiers held at the time.
    static ShortcutKeyPress fromQt(int qtKey, Qt::KeyboardModifiers modifiers);
    // Ctrl, Alt, Shift, Super and the like, whose presses and releases the
    // recorder takes as modifier changes rather than key presses.
    static bool isModifierKey(int qtKey);
    // The modifiers held once the press or release of a modifier key has
    // taken effect (X reports the state from before the event).
    static ModifierFlags modifiersAfter(int qtKey, bool pressed, Qt::KeyboardModifiers modifiers);
};
