#include "hotkey/KeyCombo.h"

#include "store/LocalizedText.h"

#include <gtest/gtest.h>

#include <set>

namespace {

QString text(const char16_t *utf16) { return QString::fromUtf16(utf16); }

TEST(KeyTest, EveryKeyRoundTripsThroughItsCodeAndName)
{
    ASSERT_EQ(Keys::count, 113);
    std::set<quint32> codes;
    for (Key key : Keys::all()) {
        const quint32 code = Keys::carbonKeyCode(key);
        EXPECT_LT(code, 127u) << Keys::name(key).toStdString();
        EXPECT_EQ(Keys::fromCarbonKeyCode(code), key) << Keys::name(key).toStdString();
        EXPECT_EQ(Keys::fromString(Keys::name(key)), key) << Keys::name(key).toStdString();
        EXPECT_EQ(Keys::fromString(Keys::name(key).toUpper()), key);
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 113u);

    const std::set<quint32> unassigned{0x0A, 0x34, 0x42, 0x44, 0x46, 0x4D, 0x5D,
                                       0x5E, 0x5F, 0x66, 0x68, 0x6C, 0x6E, 0x70};
    for (quint32 code = 0; code < 300; ++code) {
        const bool known = code < 0x7F && !unassigned.count(code);
        EXPECT_EQ(Keys::fromCarbonKeyCode(code).has_value(), known) << code;
    }
}

TEST(KeyTest, CodesMatchTheMacKeyboardLayout)
{
    const std::pair<Key, quint32> rows[] = {
        {Key::a, 0x00}, {Key::s, 0x01}, {Key::k, 0x28}, {Key::return_, 0x24}, {Key::zero, 0x1D},
        {Key::five, 0x17}, {Key::six, 0x16}, {Key::quote, 0x27}, {Key::grave, 0x32},
        {Key::delete_, 0x33}, {Key::forwardDelete, 0x75}, {Key::function, 0x3F},
        {Key::rightCommand, 0x36}, {Key::rightOption, 0x3D}, {Key::control, 0x3B}, {Key::f3, 0x63},
        {Key::f10, 0x6D}, {Key::f17, 0x40}, {Key::f20, 0x5A}, {Key::keypadDecimal, 0x41},
        {Key::keypadEnter, 0x4C}, {Key::mute, 0x4A}, {Key::help, 0x72}, {Key::upArrow, 0x7E},
    };
    for (const auto &[key, code] : rows)
        EXPECT_EQ(Keys::carbonKeyCode(key), code) << Keys::name(key).toStdString();
}

TEST(KeyTest, DescriptionsAndFurtherNameForms)
{
    const std::pair<Key, QString> descriptions[] = {
        {Key::k, u"K"_qs}, {Key::seven, u"7"_qs}, {Key::keypad7, u"7"_qs},
        {Key::quote, u"\""_qs}, {Key::backslash, u"\\"_qs}, {Key::space, text(u"\u2423")},
        {Key::return_, text(u"\u21A9\uFE0E")}, {Key::keypadEnter, text(u"\u21A9\uFE0E")},
        {Key::function, u"fn"_qs}, {Key::f9, text(u"\uF860F9")}, {Key::f20, text(u"\uF861F20")},
        {Key::keypadMultiply, text(u"\U0001D5D1")}, {Key::help, text(u"?\u20DD")},
        {Key::mute, text(u"\U0001F507")}, {Key::rightControl, text(u"\u2303")},
    };
    for (const auto &[key, description] : descriptions)
        EXPECT_EQ(Keys::description(key), description) << Keys::name(key).toStdString();

    const std::pair<QString, Key> forms[] = {
        {u"F5"_qs, Key::f5}, {u"f5"_qs, Key::f5}, {u"5"_qs, Key::five},
        {u"KEYPAD7"_qs, Key::keypad7}, {u"pageup"_qs, Key::pageUp}, {u","_qs, Key::comma},
        {u"\""_qs, Key::quote}, {u"'"_qs, Key::quote}, {text(u"\u02CB"), Key::grave},
        {text(u"\uFF40"), Key::grave}, {u" "_qs, Key::space}, {u"\t"_qs, Key::tab},
        {u"\r"_qs, Key::return_}, {text(u"\u23CE"), Key::return_}, {text(u"\u2B90"), Key::return_},
        {text(u"\uF8FF"), Key::command}, {text(u"\u2318"), Key::command},
        {text(u"\u2325"), Key::option}, {u"FN"_qs, Key::function}, {text(u"\uF861F12"), Key::f12},
        {text(u"\u2193"), Key::downArrow}, {text(u"\U0001F50A"), Key::volumeUp},
        {text(u"\u2327"), Key::keypadClear}, {u"."_qs, Key::period}, {u"-"_qs, Key::minus},
    };
    for (const auto &[form, key] : forms)
        EXPECT_EQ(Keys::fromString(form), key) << form.toStdString();

    for (const QString &unknown : {QString(), u"+"_qs, u"!"_qs, u"kp7"_qs, u"\u001b"_qs})
        EXPECT_FALSE(Keys::fromString(unknown)) << unknown.toStdString();
}

TEST(ModifierFlagsTest, ConvertsToCarbonBitsAndBack)
{
    const ModifierFlags all(ModifierFlags::control | ModifierFlags::option | ModifierFlags::shift
                            | ModifierFlags::command);
    EXPECT_EQ(all.carbonFlags(), 0x1B00u);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0x1B00), all);
    EXPECT_EQ(ModifierFlags(ModifierFlags::command).carbonFlags(), 0x100u);
    EXPECT_EQ(ModifierFlags(ModifierFlags::option).carbonFlags(), 0x800u);

    const ModifierFlags withCapsLock(ModifierFlags::capsLock | ModifierFlags::shift
                                     | ModifierFlags::function);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(withCapsLock.carbonFlags()),
              ModifierFlags(ModifierFlags::shift));
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0xFFFF00FF), ModifierFlags());

    EXPECT_EQ(ModifierFlags::fromQt(Qt::ControlModifier | Qt::MetaModifier),
              ModifierFlags(ModifierFlags::command | ModifierFlags::control));
}

TEST(ModifierFlagsTest, DescriptionsKeepAFixedOrder)
{
    ModifierFlags flags;
    flags.insert(ModifierFlags::shift);
    flags.insert(ModifierFlags::control);
    EXPECT_EQ(flags.description(), text(u"\u2303\u21E7"));
    EXPECT_EQ(ModifierFlags(ModifierFlags::command | ModifierFlags::shift).description(),
              text(u"\u21E7\u2318"));
    EXPECT_EQ(ModifierFlags(ModifierFlags::command | ModifierFlags::option | ModifierFlags::control)
                  .description(),
              text(u"\u2303\u2325\u2318"));
    EXPECT_EQ(ModifierFlags().description(), QString());

    Localization::setTable(QVariantMap{{u"IDS_BR_107"_qs, u"Ctrl"_qs}, {u"IDS_BR_108"_qs, u"Alt"_qs},
                                       {u"IDS_BR_109"_qs, u"Super"_qs}, {u"IDS_BR_110"_qs, u"Shift"_qs}});
    EXPECT_EQ(ModifierFlags(ModifierFlags::shift | ModifierFlags::option | ModifierFlags::command
                            | ModifierFlags::control)
                  .readableDescription(),
              u"Super+Ctrl+Alt+Shift+"_qs);
    EXPECT_EQ(KeyCombo(Key::k, ModifierFlags(ModifierFlags::command | ModifierFlags::option))
                  .readableDescription(),
              u"Ctrl+Alt+K"_qs);
    EXPECT_EQ(KeyCombo(Key::f5, ModifierFlags(ModifierFlags::command)).readableDescription(),
              u"Ctrl+F5"_qs);
    Localization::setTable(std::nullopt);
}

TEST(KeyComboTest, ConstructorsAndDescriptions)
{
    const KeyCombo unnamed = KeyCombo::fromStoredKey(QString(), ModifierFlags(ModifierFlags::command
                                                                             | ModifierFlags::shift));
    EXPECT_EQ(unnamed.carbonKeyCode(), 0u);
    EXPECT_EQ(unnamed.carbonModifiers(), 0x300u);
    EXPECT_EQ(KeyCombo::fromStoredKey(u"nonsense"_qs, {}).key(), Key::a);
    EXPECT_EQ(KeyCombo::fromStoredKey(u"F5"_qs, {}).carbonKeyCode(), 0x60u);

    const KeyCombo optionCommandK(Key::k, ModifierFlags(ModifierFlags::command | ModifierFlags::option));
    EXPECT_EQ(optionCommandK.description(), text(u"\u2325\u2318K"));
    EXPECT_EQ(optionCommandK.modifiers(), ModifierFlags(ModifierFlags::command | ModifierFlags::option));

    const KeyCombo noKey(0x0A, 0x100);
    EXPECT_FALSE(noKey.key());
    EXPECT_EQ(noKey.description(), text(u"\u2318"));
}

TEST(KeyComboTest, DictionaryForm)
{
    const KeyCombo combo(0x28, 0x1100);
    const QVariantMap dictionary = combo.dictionary();
    EXPECT_EQ(dictionary.size(), 2);
    EXPECT_EQ(dictionary.value(u"keyCode"_qs), QVariant(qint64(0x28)));
    EXPECT_EQ(dictionary.value(u"modifiers"_qs), QVariant(qint64(0x1100)));

    const std::optional<KeyCombo> back = KeyCombo::fromDictionary(dictionary);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->carbonKeyCode(), 0x28u);
    EXPECT_EQ(back->carbonModifiers(), 0x1100u);
    EXPECT_TRUE(KeyCombo::fromDictionary({{u"keyCode"_qs, 4294967295LL}, {u"modifiers"_qs, 0}}));

    const QVariantMap rejected[] = {
        {{u"keyCode"_qs, 1}},
        {{u"keyCode"_qs, u"1"_qs}, {u"modifiers"_qs, 0}},
        {{u"keyCode"_qs, 1.0}, {u"modifiers"_qs, 0}},
        {{u"keyCode"_qs, -1}, {u"modifiers"_qs, 0}},
        {{u"keyCode"_qs, 1}, {u"modifiers"_qs, 4294967296LL}},
    };
    for (const QVariantMap &dictionary : rejected)
        EXPECT_FALSE(KeyCombo::fromDictionary(dictionary));
}

} // namespace
