#include "hotkey/GlobalShortcut.h"

#include "hotkey/HotKey.h"
#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/StoreKeys.h"

#include <QDateTime>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcHotKey)

namespace {

constexpr std::pair<qint64, quint64> codeRows[] = {
    {ShortcutCodes::control, ModifierFlags::control},
    {ShortcutCodes::option, ModifierFlags::option},
    {ShortcutCodes::shift, ModifierFlags::shift},
    {ShortcutCodes::command, ModifierFlags::command},
};

} // namespace

namespace ShortcutCodes {

QVariantList fromModifiers(ModifierFlags modifiers)
{
    QVariantList codes;
    for (const auto &[code, flag] : codeRows) {
        if (modifiers.contains(flag))
            codes.append(code);
    }
    return codes;
}

ModifierFlags toModifiers(const QVariantList &values)
{
    ModifierFlags modifiers;
    for (const QVariant &value : values) {
        const std::optional<qint64> code = StoredValue::toInteger(value);
        for (const auto &[known, flag] : codeRows) {
            if (code == known)
                modifiers.insert(flag);
        }
    }
    return modifiers;
}

} // namespace ShortcutCodes

GlobalShortcut::GlobalShortcut(PreferencesStore &preferences, std::function<void()> showPopover)
    : m_preferences(preferences)
    , m_showPopover(std::move(showPopover))
{
}

GlobalShortcut::~GlobalShortcut() = default;

void GlobalShortcut::setHotKey(std::unique_ptr<HotKey> hotKey)
{
    if (hotKey) {
        // The hot key never outlives this object, which owns it.
        hotKey->setKeyDownHandler([this] { hotKeyPressed(); });
    }
    m_hotKey = std::move(hotKey);
}

void GlobalShortcut::registerShortcut()
{
    // The old hot key goes first, so that registering the same combination
    // again is not refused as taken by ourselves.
    m_hotKey.reset();
    if (!Keys::fromString(m_shortcutKey)) {
        qCInfo(lcHotKey) << "No key is named" << m_shortcutKey << "- no global shortcut registered";
        return;
    }
    setHotKey(std::make_unique<HotKey>(KeyCombo::fromStoredKey(m_shortcutKey, m_shortcutModifiers)));
}

void GlobalShortcut::unregisterShortcut()
{
    m_hotKey.reset();
}

void GlobalShortcut::restore()
{
    if (const std::optional<QString> key = m_preferences.stringForKey(StoreKeys::shortcutKey))
        m_shortcutKey = *key;
    if (const std::optional<QVariantList> codes = m_preferences.arrayForKey(StoreKeys::shortcutflag))
        m_shortcutModifiers.insert(ShortcutCodes::toModifiers(*codes).rawValue());
    if (m_shortcutModifiers.isEmpty())
        return;
    // A shortcut that is not registered is not shown either: the label says
    // "Not set" rather than a combination that does nothing.
    const auto forget = [this] {
        m_shortcutKey.clear();
        m_shortcutModifiers = ModifierFlags();
    };
    if (!Keys::fromString(m_shortcutKey)) {
        qCWarning(lcHotKey) << "Stored shortcut not registered, no key is named" << m_shortcutKey;
        forget();
        return;
    }
    if (!isGrabbable(m_shortcutKey, m_shortcutModifiers)) {
        qCWarning(lcHotKey).noquote() << "Stored shortcut not registered, it would take the key from every application:"
                                      << readableShortcut();
        forget();
        return;
    }
    registerShortcut();
}

bool GlobalShortcut::isGrabbable(const QString &keyString, ModifierFlags modifiers)
{
    return hasGrabModifier(modifiers) && keyString != u"\t";
}

bool GlobalShortcut::hasGrabModifier(ModifierFlags modifiers)
{
    return modifiers.contains(ModifierFlags::command) || modifiers.contains(ModifierFlags::option)
           || modifiers.contains(ModifierFlags::control);
}

void GlobalShortcut::hotKeyPressed()
{
    printLine(QStringLiteral("Pressed at ")
              + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000")));
    if (m_showPopover)
        m_showPopover();
}

QString GlobalShortcut::readableShortcut() const
{
    if (m_shortcutModifiers.isEmpty())
        return {};
    const std::optional<Key> key = Keys::fromString(m_shortcutKey);
    return m_shortcutModifiers.readableDescription() + (key ? Keys::readableText(*key) : m_shortcutKey.toUpper());
}
