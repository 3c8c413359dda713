#include "hotkey/Key.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QHash>

#include <vector>

namespace {

struct KeyRow
{
    Key key;
    quint32 code;
    const char *name;
    const char16_t *description;
    std::vector<const char16_t *> forms;
};

// The further forms "desc" stands for: the key accepts its own description.
constexpr const char16_t *desc = nullptr;

std::vector<KeyRow> keyRows()
{
    return {
        {Key::a, 0x00, "a", u"A", {}},
        {Key::b, 0x0B, "b", u"B", {}},
        {Key::c, 0x08, "c", u"C", {}},
        {Key::d, 0x02, "d", u"D", {}},
        {Key::e, 0x0E, "e", u"E", {}},
        {Key::f, 0x03, "f", u"F", {}},
        {Key::g, 0x05, "g", u"G", {}},
        {Key::h, 0x04, "h", u"H", {}},
        {Key::i, 0x22, "i", u"I", {}},
        {Key::j, 0x26, "j", u"J", {}},
        {Key::k, 0x28, "k", u"K", {}},
        {Key::l, 0x25, "l", u"L", {}},
        {Key::m, 0x2E, "m", u"M", {}},
        {Key::n, 0x2D, "n", u"N", {}},
        {Key::o, 0x1F, "o", u"O", {}},
        {Key::p, 0x23, "p", u"P", {}},
        {Key::q, 0x0C, "q", u"Q", {}},
        {Key::r, 0x0F, "r", u"R", {}},
        {Key::s, 0x01, "s", u"S", {}},
        {Key::t, 0x11, "t", u"T", {}},
        {Key::u, 0x20, "u", u"U", {}},
        {Key::v, 0x09, "v", u"V", {}},
        {Key::w, 0x0D, "w", u"W", {}},
        {Key::x, 0x07, "x", u"X", {}},
        {Key::y, 0x10, "y", u"Y", {}},
        {Key::z, 0x06, "z", u"Z", {}},
        {Key::zero, 0x1D, "zero", u"0", {desc}},
        {Key::one, 0x12, "one", u"1", {desc}},
        {Key::two, 0x13, "two", u"2", {desc}},
        {Key::three, 0x14, "three", u"3", {desc}},
        {Key::four, 0x15, "four", u"4", {desc}},
        {Key::five, 0x17, "five", u"5", {desc}},
        {Key::six, 0x16, "six", u"6", {desc}},
        {Key::seven, 0x1A, "seven", u"7", {desc}},
        {Key::eight, 0x1C, "eight", u"8", {desc}},
        {Key::nine, 0x19, "nine", u"9", {desc}},
        {Key::period, 0x2F, "period", u".", {desc}},
        // The quote key types an apostrophe; that character names it too, so
        // that a shortcut recorded on it reads back as this key.
        {Key::quote, 0x27, "quote", u"\"", {desc, u"'"}},
        {Key::rightBracket, 0x1E, "rightBracket", u"]", {desc}},
        {Key::semicolon, 0x29, "semicolon", u";", {desc}},
        {Key::slash, 0x2C, "slash", u"/", {desc}},
        {Key::backslash, 0x2A, "backslash", u"\\", {desc}},
        {Key::comma, 0x2B, "comma", u",", {desc}},
        {Key::equal, 0x18, "equal", u"=", {desc}},
        {Key::grave, 0x32, "grave", u"`", {u"`", u"\u02CB", u"\uFF40"}},
        {Key::leftBracket, 0x21, "leftBracket", u"[", {desc}},
        {Key::minus, 0x1B, "minus", u"-", {desc}},
        {Key::space, 0x31, "space", u"\u2423", {u" ", u"\u2423"}},
        {Key::tab, 0x30, "tab", u"\u21E5", {u"\t", u"\u21E5"}},
        {Key::return_, 0x24, "return", u"\u21A9\uFE0E", {u"\r", u"\u21A9\uFE0E", u"\u23CE", u"\u2B90"}},
        {Key::command, 0x37, "command", u"\u2318", {u"\u2318", u"\uF8FF"}},
        {Key::rightCommand, 0x36, "rightCommand", u"\u2318", {}},
        {Key::option, 0x3A, "option", u"\u2325", {desc}},
        {Key::rightOption, 0x3D, "rightOption", u"\u2325", {}},
        {Key::control, 0x3B, "control", u"\u2303", {desc}},
        {Key::rightControl, 0x3E, "rightControl", u"\u2303", {}},
        {Key::shift, 0x38, "shift", u"\u21E7", {desc}},
        {Key::rightShift, 0x3C, "rightShift", u"\u21E7", {}},
        {Key::function, 0x3F, "function", u"fn", {desc}},
        {Key::capsLock, 0x39, "capsLock", u"\u21EA", {desc}},
        {Key::pageUp, 0x74, "pageUp", u"\u21DE", {desc}},
        {Key::pageDown, 0x79, "pageDown", u"\u21DF", {desc}},
        {Key::home, 0x73, "home", u"\u2196", {desc}},
        {Key::end, 0x77, "end", u"\u2198", {desc}},
        {Key::upArrow, 0x7E, "upArrow", u"\u2191", {desc}},
        {Key::rightArrow, 0x7C, "rightArrow", u"\u2192", {desc}},
        {Key::downArrow, 0x7D, "downArrow", u"\u2193", {desc}},
        {Key::leftArrow, 0x7B, "leftArrow", u"\u2190", {desc}},
        {Key::f1, 0x7A, "f1", u"\uF860F1", {desc}},
        {Key::f2, 0x78, "f2", u"\uF860F2", {desc}},
        {Key::f3, 0x63, "f3", u"\uF860F3", {desc}},
        {Key::f4, 0x76, "f4", u"\uF860F4", {desc}},
        {Key::f5, 0x60, "f5", u"\uF860F5", {desc}},
        {Key::f6, 0x61, "f6", u"\uF860F6", {desc}},
        {Key::f7, 0x62, "f7", u"\uF860F7", {desc}},
        {Key::f8, 0x64, "f8", u"\uF860F8", {desc}},
        {Key::f9, 0x65, "f9", u"\uF860F9", {desc}},
        {Key::f10, 0x6D, "f10", u"\uF861F10", {desc}},
        {Key::f11, 0x67, "f11", u"\uF861F11", {desc}},
        {Key::f12, 0x6F, "f12", u"\uF861F12", {desc}},
        {Key::f13, 0x69, "f13", u"\uF861F13", {desc}},
        {Key::f14, 0x6B, "f14", u"\uF861F14", {desc}},
        {Key::f15, 0x71, "f15", u"\uF861F15", {desc}},
        {Key::f16, 0x6A, "f16", u"\uF861F16", {desc}},
        {Key::f17, 0x40, "f17", u"\uF861F17", {desc}},
        {Key::f18, 0x4F, "f18", u"\uF861F18", {desc}},
        {Key::f19, 0x50, "f19", u"\uF861F19", {desc}},
        {Key::f20, 0x5A, "f20", u"\uF861F20", {desc}},
        {Key::keypad0, 0x52, "keypad0", u"0", {}},
        {Key::keypad1, 0x53, "keypad1", u"1", {}},
        {Key::keypad2, 0x54, "keypad2", u"2", {}},
        {Key::keypad3, 0x55, "keypad3", u"3", {}},
        {Key::keypad4, 0x56, "keypad4", u"4", {}},
        {Key::keypad5, 0x57, "keypad5", u"5", {}},
        {Key::keypad6, 0x58, "keypad6", u"6", {}},
        {Key::keypad7, 0x59, "keypad7", u"7", {}},
        {Key::keypad8, 0x5B, "keypad8", u"8", {}},
        {Key::keypad9, 0x5C, "keypad9", u"9", {}},
        {Key::keypadClear, 0x47, "keypadClear", u"\u2327", {desc}},
        {Key::keypadDecimal, 0x41, "keypadDecimal", u".", {}},
        {Key::keypadDivide, 0x4B, "keypadDivide", u"/", {}},
        {Key::keypadEnter, 0x4C, "keypadEnter", u"\u21A9\uFE0E", {}},
        {Key::keypadEquals, 0x51, "keypadEquals", u"=", {}},
        {Key::keypadMinus, 0x4E, "keypadMinus", u"-", {}},
        {Key::keypadMultiply, 0x43, "keypadMultiply", u"\U0001D5D1", {}},
        {Key::keypadPlus, 0x45, "keypadPlus", u"+", {}},
        {Key::escape, 0x35, "escape", u"\u238B", {desc}},
        {Key::delete_, 0x33, "delete", u"\u232B", {desc}},
        {Key::forwardDelete, 0x75, "forwardDelete", u"\u2326", {desc}},
        {Key::help, 0x72, "help", u"?\u20DD", {desc}},
        {Key::volumeUp, 0x48, "volumeUp", u"\U0001F50A", {desc}},
        {Key::volumeDown, 0x49, "volumeDown", u"\U0001F509", {desc}},
        {Key::mute, 0x4A, "mute", u"\U0001F507", {desc}},
    };
}

// Virtual key codes run from 0 to 126; this marks a code without a key.
constexpr quint8 noKey = 0xFF;
constexpr quint32 codeLimit = 0x7F;

struct KeyTables
{
    std::array<Key, Keys::count> keys{};
    std::array<quint32, Keys::count> codes{};
    std::array<QString, Keys::count> names;
    std::array<QString, Keys::count> descriptions;
    std::array<quint8, codeLimit> keyOfCode{};
    QHash<QString, Key> keyOfForm;
};

const KeyTables &tables()
{
    static const KeyTables built = [] {
        KeyTables t;
        t.keyOfCode.fill(noKey);
        for (const KeyRow &row : keyRows()) {
            const int index = int(row.key);
            t.keys[index] = row.key;
            t.codes[index] = row.code;
            t.names[index] = QString::fromLatin1(row.name);
            t.descriptions[index] = QString::fromUtf16(row.description);
            t.keyOfCode[row.code] = quint8(index);
            t.keyOfForm.insert(t.names[index].toLower(), row.key);
            for (const char16_t *form : row.forms) {
                const QString text = form ? QString::fromUtf16(form) : t.descriptions[index];
                t.keyOfForm.insert(text.toLower(), row.key);
            }
        }
        return t;
    }();
    return built;
}

} // namespace

namespace Keys {

const std::array<Key, count> &all()
{
    return tables().keys;
}

std::optional<Key> fromCarbonKeyCode(quint32 code)
{
    if (code >= codeLimit || tables().keyOfCode[code] == noKey)
        return std::nullopt;
    return Key(tables().keyOfCode[code]);
}

quint32 carbonKeyCode(Key key)
{
    return tables().codes[int(key)];
}

QString name(Key key)
{
    return tables().names[int(key)];
}

QString description(Key key)
{
    return tables().descriptions[int(key)];
}

std::optional<Key> fromString(const QString &text)
{
    const auto found = tables().keyOfForm.constFind(text.toLower());
    if (found == tables().keyOfForm.cend())
        return std::nullopt;
    return *found;
}

QString readableText(Key key)
{
    switch (key) {
    case Key::space:
        return LocalizedText(Text::keySpace);
    case Key::tab:
        return LocalizedText(Text::keyTab);
    case Key::return_:
    case Key::keypadEnter:
        return LocalizedText(Text::keyReturn);
    case Key::quote:
        return QStringLiteral("'");
    default:
        break;
    }
    if (key >= Key::f1 && key <= Key::f20)
        return QStringLiteral("F%1").arg(int(key) - int(Key::f1) + 1);
    return description(key);
}

} // namespace Keys
