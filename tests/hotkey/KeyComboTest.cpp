#include "hotkey/KeyCombo.h"

#include <gtest/gtest.h>

#include <set>

namespace {

QString text(const char16_t *utf16)
{
    return QString::fromUtf16(utf16);
}

TEST(KeyTest, EveryKeyRoundTripsThroughItsCodeAndName)
{
    std::set<quint32> codes;
    for (Key key : Keys::all()) {
        const quint32 code = Keys::carbonKeyCode(key);
        EXPECT_EQ(Keys::fromCarbonKeyCode(code), key) << Keys::name(key).toStdString();
        EXPECT_EQ(Keys::fromString(Keys::name(key)), key) << Keys::name(key).toStdString();
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 113u); // each key a code of its own
    EXPECT_FALSE(Keys::fromCarbonKeyCode(0x7F));
}

TEST(KeyTest, StoredKeyNamesReadInEveryForm)
{
    // Names in any case, the glyphs and characters older versions stored.
    const std::pair<QString, Key> forms[] = {
        {u"f5"_qs, Key::f5},
        {u"KEYPAD7"_qs, Key::keypad7},
        {u"'"_qs, Key::quote},
        {text(u"\u23CE"), Key::return_},
        {text(u"\uF861F12"), Key::f12},
        {text(u"\U0001F50A"), Key::volumeUp},
    };
    for (const auto &[form, key] : forms)
        EXPECT_EQ(Keys::fromString(form), key) << form.toStdString();

    for (const QString &unknown : {QString(), u"+"_qs, u"!"_qs, u"kp7"_qs, u"\u001b"_qs})
        EXPECT_FALSE(Keys::fromString(unknown)) << unknown.toStdString();
}

TEST(ModifierFlagsTest, CarbonBitsKeepOnlyTheFourModifiersOfAShortcut)
{
    // The bits each modifier registers under are checked through the shortcut recorder.
    const ModifierFlags withCapsLock(ModifierFlags::capsLock | ModifierFlags::shift | ModifierFlags::function);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(withCapsLock.carbonFlags()), ModifierFlags(ModifierFlags::shift));
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0xFFFF00FF), ModifierFlags());
}

} // namespace
