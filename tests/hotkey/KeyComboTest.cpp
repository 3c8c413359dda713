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

TEST(KeyTest, StoredKeyNamesReadInAnyCaseAndAsTheGlyphsOlderVersionsStored)
{
    EXPECT_EQ(Keys::fromString(u"KEYPAD7"_qs), Key::keypad7);
    EXPECT_EQ(Keys::fromString(text(u"\u23CE")), Key::return_);
    for (const QString &unknown : {QString(), u"+"_qs, u"kp7"_qs})
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
