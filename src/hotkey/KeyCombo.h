#pragma once

#include "hotkey/Key.h"
#include "hotkey/ModifierFlags.h"

#include <QString>
#include <QVariantMap>

#include <optional>

// One keyboard key plus a set of modifiers, both in the numeric form of the
// hot-key service: a macOS virtual key code and Carbon modifier bits. Any pair
// of numbers is representable, also a key code that names no Key.
class KeyCombo final
{
public:
    KeyCombo(quint32 carbonKeyCode, quint32 carbonModifiers);
    KeyCombo(Key key, ModifierFlags modifiers);

    // The combination of a stored key name; a name the key parser does not
    // know, the empty one included, stands for the key `a`.
    static KeyCombo fromStoredKey(const QString &stkey, ModifierFlags modifiers);
    // None when "keyCode" or "modifiers" is missing, not an integer, or
    // outside the unsigned 32-bit range.
    static std::optional<KeyCombo> fromDictionary(const QVariantMap &dictionary);

    quint32 carbonKeyCode() const { return m_carbonKeyCode; }
    quint32 carbonModifiers() const { return m_carbonModifiers; }

    std::optional<Key> key() const;
    ModifierFlags modifiers() const;

    // Modifier symbols followed by the key's symbol ("⌥⌘K").
    QString description() const;
    // The same for a Linux user ("Ctrl+Alt+K").
    QString readableDescription() const;

    // {"keyCode": code, "modifiers": bits}, both as signed integers.
    QVariantMap dictionary() const;

private:
    quint32 m_carbonKeyCode;
    quint32 m_carbonModifiers;
};
