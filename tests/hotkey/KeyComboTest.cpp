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

    const std::set<quint32> unassigned{0x0A, 0x34, 0x42, 0x44, 0x46, 0x4D, 0x5D,
                                       0x5E, 0x5F, 0x66, 0x68, 0x6C, 0x6E, 0x70};
    for (quint32 code = 0; code < 300; ++code) {
        const bool known = code < 0x7F && !unassigned.count(code);
        EXPECT_EQ(Keys::fromCarbonKeyCode(code).has_value(), known) << code;
    }
}

TEST(KeyTest, StoredKeyNamesReadInEveryForm)
{
    const std::pair<QString, Key> forms[] = {
        {u"F5"_qs, Key::f5},
        {u"f5"_qs, Key::f5},
        {u"5"_qs, Key::five},
        {u"KEYPAD7"_qs, Key::keypad7},
        {u"pageup"_qs, Key::pageUp},
        {u","_qs, Key::comma},
        {u"\""_qs, Key::quote},
        {u"'"_qs, Key::quote},
        {text(u"\u02CB"), Key::grave},
        {text(u"\uFF40"), Key::grave},
        {u" "_qs, Key::space},
        {u"\t"_qs, Key::tab},
        {u"\r"_qs, Key::return_},
        {text(u"\u23CE"), Key::return_},
        {text(u"\u2B90"), Key::return_},
        {text(u"\uF8FF"), Key::command},
        {text(u"\u2318"), Key::command},
        {text(u"\u2325"), Key::option},
        {u"FN"_qs, Key::function},
        {text(u"\uF861F12"), Key::f12},
        {text(u"\u2193"), Key::downArrow},
        {text(u"\U0001F50A"), Key::volumeUp},
        {text(u"\u2327"), Key::keypadClear},
        {u"."_qs, Key::period},
        {u"-"_qs, Key::minus},
    };
    for (const auto &[form, key] : forms)
        EXPECT_EQ(Keys::fromString(form), key) << form.toStdString();

    for (const QString &unknown : {QString(), u"+"_qs, u"!"_qs, u"kp7"_qs, u"\u001b"_qs})
        EXPECT_FALSE(Keys::fromString(unknown)) << unknown.toStdString();
}

TEST(ModifierFlagsTest, ConvertsToCarbonBitsAndBack)
{
    // The bits each modifier registers under are checked through the shortcut recorder.
    const ModifierFlags all(ModifierFlags::control | ModifierFlags::option | ModifierFlags::shift
                            | ModifierFlags::command);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(all.carbonFlags()), all);
    const ModifierFlags withCapsLock(ModifierFlags::capsLock | ModifierFlags::shift | ModifierFlags::function);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(withCapsLock.carbonFlags()), ModifierFlags(ModifierFlags::shift));
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0xFFFF00FF), ModifierFlags());

    EXPECT_EQ(ModifierFlags::fromQt(Qt::ControlModifier | Qt::MetaModifier),
              ModifierFlags(ModifierFlags::command | ModifierFlags::control));
}

TEST(KeyComboTest, StoredForms)
{
    const KeyCombo unnamed = KeyCombo::fromStoredKey(QString(),
                                                     ModifierFlags(ModifierFlags::command | ModifierFlags::shift));
    EXPECT_EQ(unnamed.carbonKeyCode(), 0u);
    EXPECT_EQ(unnamed.carbonModifiers(), 0x300u);
    EXPECT_FALSE(KeyCombo(0x0A, 0x100).key());
}

} // namespace
