#include "hotkey/ShortcutKeyPress.h"

#include "hotkey/Key.h"

#include <QHash>

namespace {

// The macOS function-key characters start here (F1 types U+F704).
constexpr char16_t functionKeyCharacters = 0xF704;

const QHash<int, Key> &qtKeys()
{
    static const QHash<int, Key> keys = [] {
        QHash<int, Key> map;
        for (int letter = 0; letter < 26; ++letter)
            map.insert(Qt::Key_A + letter, Key(int(Key::a) + letter));
        for (int digit = 0; digit < 10; ++digit)
            map.insert(Qt::Key_0 + digit, Key(int(Key::zero) + digit));
        for (int function = 0; function < 20; ++function)
            map.insert(Qt::Key_F1 + function, Key(int(Key::f1) + function));
        const std::pair<int, Key> rows[] = {
            {Qt::Key_Period, Key::period},
            {Qt::Key_Greater, Key::period},
            {Qt::Key_Apostrophe, Key::quote},
            {Qt::Key_QuoteDbl, Key::quote},
            {Qt::Key_BracketRight, Key::rightBracket},
            {Qt::Key_BraceRight, Key::rightBracket},
            {Qt::Key_Semicolon, Key::semicolon},
            {Qt::Key_Colon, Key::semicolon},
            {Qt::Key_Slash, Key::slash},
            {Qt::Key_Question, Key::slash},
            {Qt::Key_Backslash, Key::backslash},
            {Qt::Key_Bar, Key::backslash},
            {Qt::Key_Comma, Key::comma},
            {Qt::Key_Less, Key::comma},
            {Qt::Key_Equal, Key::equal},
            {Qt::Key_Plus, Key::equal},
            {Qt::Key_QuoteLeft, Key::grave},
            {Qt::Key_AsciiTilde, Key::grave},
            {Qt::Key_BracketLeft, Key::leftBracket},
            {Qt::Key_BraceLeft, Key::leftBracket},
            {Qt::Key_Minus, Key::minus},
            {Qt::Key_Underscore, Key::minus},
            {Qt::Key_Space, Key::space},
            {Qt::Key_Tab, Key::tab},
            {Qt::Key_Backtab, Key::tab},
            {Qt::Key_Return, Key::return_},
            {Qt::Key_Enter, Key::keypadEnter},
            {Qt::Key_Control, Key::command},
            {Qt::Key_Alt, Key::option},
            {Qt::Key_Meta, Key::control},
            {Qt::Key_Super_L, Key::control},
            {Qt::Key_Super_R, Key::rightControl},
            {Qt::Key_Shift, Key::shift},
            {Qt::Key_CapsLock, Key::capsLock},
            {Qt::Key_PageUp, Key::pageUp},
            {Qt::Key_PageDown, Key::pageDown},
            {Qt::Key_Home, Key::home},
            {Qt::Key_End, Key::end},
            {Qt::Key_Up, Key::upArrow},
            {Qt::Key_Right, Key::rightArrow},
            {Qt::Key_Down, Key::downArrow},
            {Qt::Key_Left, Key::leftArrow},
            {Qt::Key_Clear, Key::keypadClear},
            {Qt::Key_Escape, Key::escape},
            {Qt::Key_Backspace, Key::delete_},
            {Qt::Key_Delete, Key::forwardDelete},
            {Qt::Key_Help, Key::help},
            {Qt::Key_VolumeUp, Key::volumeUp},
            {Qt::Key_VolumeDown, Key::volumeDown},
            {Qt::Key_VolumeMute, Key::mute},
        };
        for (const auto &[qtKey, key] : rows)
            map.insert(qtKey, key);
        return map;
    }();
    return keys;
}

std::optional<Key> keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return Key(int(Key::keypad0) + qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Period:
        return Key::keypadDecimal;
    case Qt::Key_Slash:
        return Key::keypadDivide;
    case Qt::Key_Asterisk:
        return Key::keypadMultiply;
    case Qt::Key_Minus:
        return Key::keypadMinus;
    case Qt::Key_Plus:
        return Key::keypadPlus;
    case Qt::Key_Equal:
        return Key::keypadEquals;
    case Qt::Key_Enter:
        return Key::keypadEnter;
    default:
        return std::nullopt;
    }
}

QString charactersOf(int qtKey, bool shifted)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return QString(QChar(shifted ? qtKey : qtKey - Qt::Key_A + 'a'));
    if (qtKey >= Qt::Key_Space && qtKey <= Qt::Key_AsciiTilde)
        return QString(QChar(qtKey));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35)
        return QString(QChar(char16_t(functionKeyCharacters + qtKey - Qt::Key_F1)));
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QStringLiteral("\t");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Backspace:
        return QStringLiteral("\x7f");
    default:
        return {};
    }
}

} // namespace

ShortcutKeyPress ShortcutKeyPress::fromQt(int qtKey, Qt::KeyboardModifiers modifiers)
{
    ShortcutKeyPress press;
    press.modifiers = ModifierFlags::fromQt(modifiers);
    std::optional<Key> key;
    if (modifiers & Qt::KeypadModifier)
        key = keypadKey(qtKey);
    if (!key) {
        const auto found = qtKeys().constFind(qtKey);
        if (found != qtKeys().cend())
            key = *found;
    }
    if (key)
        press.keyCode = Keys::carbonKeyCode(*key);
    press.characters = isModifierKey(qtKey) ? QString() : charactersOf(qtKey, modifiers & Qt::ShiftModifier);
    return press;
}

bool ShortcutKeyPress::isModifierKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Shift:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

ModifierFlags ShortcutKeyPress::modifiersAfter(int qtKey, bool pressed, Qt::KeyboardModifiers modifiers)
{
    ModifierFlags flags = ModifierFlags::fromQt(modifiers);
    quint64 flag = 0;
    switch (qtKey) {
    case Qt::Key_Control:
        flag = ModifierFlags::command;
        break;
    case Qt::Key_Alt:
        flag = ModifierFlags::option;
        break;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        flag = ModifierFlags::control;
        break;
    case Qt::Key_Shift:
        flag = ModifierFlags::shift;
        break;
    default:
        return flags;
    }
    if (pressed)
        flags.insert(flag);
    else
        flags.remove(flag);
    return flags;
}
