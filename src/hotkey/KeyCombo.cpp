#include "hotkey/KeyCombo.h"

#include "platform/PreferencesStore.h"

namespace {

constexpr QLatin1String keyCodeEntry("keyCode");
constexpr QLatin1String modifiersEntry("modifiers");

std::optional<quint32> unsignedEntry(const QVariantMap &dictionary, QLatin1String key)
{
    const std::optional<qint64> value = StoredValue::integerIn(dictionary, key);
    if (!value || *value < 0 || *value > qint64(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return quint32(*value);
}

} // namespace

KeyCombo::KeyCombo(quint32 carbonKeyCode, quint32 carbonModifiers)
    : m_carbonKeyCode(carbonKeyCode)
    , m_carbonModifiers(carbonModifiers)
{
}

KeyCombo::KeyCombo(Key key, ModifierFlags modifiers)
    : KeyCombo(Keys::carbonKeyCode(key), modifiers.carbonFlags())
{
}

KeyCombo KeyCombo::fromStoredKey(const QString &stkey, ModifierFlags modifiers)
{
    return KeyCombo(Keys::fromString(stkey).value_or(Key::a), modifiers);
}

std::optional<KeyCombo> KeyCombo::fromDictionary(const QVariantMap &dictionary)
{
    const std::optional<quint32> keyCode = unsignedEntry(dictionary, keyCodeEntry);
    const std::optional<quint32> modifiers = unsignedEntry(dictionary, modifiersEntry);
    if (!keyCode || !modifiers)
        return std::nullopt;
    return KeyCombo(*keyCode, *modifiers);
}

std::optional<Key> KeyCombo::key() const
{
    return Keys::fromCarbonKeyCode(m_carbonKeyCode);
}

ModifierFlags KeyCombo::modifiers() const
{
    return ModifierFlags::fromCarbonFlags(m_carbonModifiers);
}

QString KeyCombo::description() const
{
    const std::optional<Key> k = key();
    return modifiers().description() + (k ? Keys::description(*k) : QString());
}

QString KeyCombo::readableDescription() const
{
    const std::optional<Key> k = key();
    return modifiers().readableDescription() + (k ? Keys::readableText(*k) : QString());
}

QVariantMap KeyCombo::dictionary() const
{
    return {{keyCodeEntry, qint64(m_carbonKeyCode)}, {modifiersEntry, qint64(m_carbonModifiers)}};
}
