#pragma once

#include "hotkey/ModifierFlags.h"

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class HotKey;
class PreferencesStore;

// The application's global shortcut: the recorded key name and modifiers,
// and the one HotKey registered for them, whose press shows the popup.
class GlobalShortcut final
{
public:
    // showPopover brings the application forward and shows the popup (it
    // never closes it); it decides itself whether the popup may open yet.
    GlobalShortcut(PreferencesStore &preferences, std::function<void()> showPopover);
    ~GlobalShortcut();

    GlobalShortcut(const GlobalShortcut &) = delete;
    GlobalShortcut &operator=(const GlobalShortcut &) = delete;

    HotKey *hotKey() const { return m_hotKey.get(); }
    // Replaces the hot key (the old one unregisters as it goes) and makes its
    // press run hotKeyPressed().
    void setHotKey(std::unique_ptr<HotKey> hotKey);

    const QString &shortcutKey() const { return m_shortcutKey; }
    void setShortcutKey(const QString &key) { m_shortcutKey = key; }
    ModifierFlags shortcutModifiers() const { return m_shortcutModifiers; }
    void setShortcutModifiers(ModifierFlags modifiers) { m_shortcutModifiers = modifiers; }

    // Registers the current key and modifiers as the hot key. A key name that
    // names no key registers nothing rather than some other key.
    void registerShortcut();
    // Drops the hot key, which gives the combination back to the system.
    void unregisterShortcut();

    // Reads "shortcutKey" and "shortcutflag" and registers the shortcut they
    // hold; nothing is registered without a stored modifier, nor for a stored
    // combination that may not be grabbed (the keys stay stored).
    void restore();

    // Whether the combination may be grabbed for the whole desktop: it needs
    // Ctrl, Alt or Super (with Shift alone every application would lose a
    // capital letter), and Tab is left to moving the focus.
    static bool isGrabbable(const QString &keyString, ModifierFlags modifiers);
    static bool hasGrabModifier(ModifierFlags modifiers);

    // What the hot key does: a line on standard output, then the popup.
    void hotKeyPressed();

    // The shortcut as the user reads it ("Ctrl+Alt+K"); empty without one.
    QString readableShortcut() const;

private:
    PreferencesStore &m_preferences;
    std::function<void()> m_showPopover;
    QString m_shortcutKey;
    ModifierFlags m_shortcutModifiers;
    std::unique_ptr<HotKey> m_hotKey;
};

// The stored form of a shortcut's modifiers: codes 11 command, 12 control,
// 13 option, 14 shift.
namespace ShortcutCodes {
inline constexpr qint64 command = 11;
inline constexpr qint64 control = 12;
inline constexpr qint64 option = 13;
inline constexpr qint64 shift = 14;

// The codes of the modifiers present, in the order control, option, shift,
// command.
QVariantList fromModifiers(ModifierFlags modifiers);
// The modifiers of the codes 11 to 14 among values; anything else is ignored.
ModifierFlags toModifiers(const QVariantList &values);
} // namespace ShortcutCodes
