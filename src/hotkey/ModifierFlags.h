#pragma once

#include "platform/HotKeyService.h"

#include <QString>
#include <Qt>
#include <QtGlobal>

// A set of modifier keys, held in the bit layout of the AppKit modifier flags
// in which shortcuts were first defined. On Linux, command is Ctrl, option is
// Alt, control is Super and shift is Shift.
class ModifierFlags final
{
public:
    static constexpr quint64 capsLock = 1u << 16;
    static constexpr quint64 shift = 1u << 17;
    static constexpr quint64 control = 1u << 18;
    static constexpr quint64 option = 1u << 19;
    static constexpr quint64 command = 1u << 20;
    static constexpr quint64 numericPad = 1u << 21;
    static constexpr quint64 help = 1u << 22;
    static constexpr quint64 function = 1u << 23;

    // The bits of the Carbon hot-key modifiers.
    static constexpr quint32 carbonCommand = HotKeyService::commandKey;
    static constexpr quint32 carbonShift = HotKeyService::shiftKey;
    static constexpr quint32 carbonOption = HotKeyService::optionKey;
    static constexpr quint32 carbonControl = HotKeyService::controlKey;

    constexpr ModifierFlags() = default;
    constexpr explicit ModifierFlags(quint64 rawValue)
        : m_raw(rawValue)
    {
    }

    static ModifierFlags fromCarbonFlags(quint32 carbonFlags);
    // Ctrl is command, Alt is option, Meta (Super) is control.
    static ModifierFlags fromQt(Qt::KeyboardModifiers modifiers);

    constexpr quint64 rawValue() const { return m_raw; }
    constexpr bool isEmpty() const { return m_raw == 0; }
    constexpr bool contains(quint64 flag) const { return (m_raw & flag) == flag; }
    // Whether command, option, control or shift is among the flags.
    constexpr bool hasShortcutModifier() const { return (m_raw & (command | option | control | shift)) != 0; }
    void insert(quint64 flag) { m_raw |= flag; }
    void remove(quint64 flag) { m_raw &= ~flag; }

    // The Carbon bits of command, shift, option and control; other flags drop.
    quint32 carbonFlags() const;

    // The macOS symbols in the order ⌃⌥⇧⌘, without separators.
    QString description() const;
    // What a Linux user reads: "Super+Ctrl+Alt+Shift+", each present modifier
    // followed by "+", ready to take the key's name.
    QString readableDescription() const;

    friend constexpr bool operator==(ModifierFlags, ModifierFlags) = default;

private:
    quint64 m_raw = 0;
};
