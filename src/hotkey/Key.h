#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// The keyboard keys a global shortcut can be made of, each with its macOS
// virtual key code: the numbering in which shortcuts are stored and passed to
// the hot-key service. `return` and `delete` carry a trailing underscore
// because the plain words are C++ keywords; their names are "return" and
// "delete" all the same.
enum class Key : quint8 {
    a,
    b,
    c,
    d,
    e,
    f,
    g,
    h,
    i,
    j,
    k,
    l,
    m,
    n,
    o,
    p,
    q,
    r,
    s,
    t,
    u,
    v,
    w,
    x,
    y,
    z,
    zero,
    one,
    two,
    three,
    four,
    five,
    six,
    seven,
    eight,
    nine,
    period,
    quote,
    rightBracket,
    semicolon,
    slash,
    backslash,
    comma,
    equal,
    grave,
    leftBracket,
    minus,
    space,
    tab,
    return_,
    command,
    rightCommand,
    option,
    rightOption,
    control,
    rightControl,
    shift,
    rightShift,
    function,
    capsLock,
    pageUp,
    pageDown,
    home,
    end,
    upArrow,
    rightArrow,
    downArrow,
    leftArrow,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
    f13,
    f14,
    f15,
    f16,
    f17,
    f18,
    f19,
    f20,
    keypad0,
    keypad1,
    keypad2,
    keypad3,
    keypad4,
    keypad5,
    keypad6,
    keypad7,
    keypad8,
    keypad9,
    keypadClear,
    keypadDecimal,
    keypadDivide,
    keypadEnter,
    keypadEquals,
    keypadMinus,
    keypadMultiply,
    keypadPlus,
    escape,
    delete_,
    forwardDelete,
    help,
    volumeUp,
    volumeDown,
    mute,
};

namespace Keys {

inline constexpr int count = int(Key::mute) + 1;

// Every key, in declaration order.
const std::array<Key, count> &all();

// The key whose virtual key code is code; none for unassigned codes.
std::optional<Key> fromCarbonKeyCode(quint32 code);
quint32 carbonKeyCode(Key key);

// The key's name as written in the enumeration ("pageUp", "return").
QString name(Key key);

// The symbol that shows the key in the macOS way ("K", "⇞", "⌫").
QString description(Key key);

// The key named by text, compared without regard to case: its name, or one of
// its further forms (the digit of a main-row digit key, a punctuation key's
// character, a symbol). None when nothing matches.
std::optional<Key> fromString(const QString &text);

// What a Linux user reads for the key in a shortcut ("K", "F5", "Space").
QString readableText(Key key);

} // namespace Keys
