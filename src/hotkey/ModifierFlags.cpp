#include "hotkey/ModifierFlags.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <array>

namespace {

struct ModifierRow
{
    quint64 flag;
    quint32 carbon;
};

constexpr std::array<ModifierRow, 4> modifierRows{{
    {ModifierFlags::command, ModifierFlags::carbonCommand},
    {ModifierFlags::shift, ModifierFlags::carbonShift},
    {ModifierFlags::option, ModifierFlags::carbonOption},
    {ModifierFlags::control, ModifierFlags::carbonControl},
}};

} // namespace

ModifierFlags ModifierFlags::fromCarbonFlags(quint32 carbonFlags)
{
    ModifierFlags flags;
    for (const ModifierRow &row : modifierRows) {
        if (carbonFlags & row.carbon)
            flags.insert(row.flag);
    }
    return flags;
}

ModifierFlags ModifierFlags::fromQt(Qt::KeyboardModifiers modifiers)
{
    ModifierFlags flags;
    if (modifiers & Qt::ControlModifier)
        flags.insert(command);
    if (modifiers & Qt::AltModifier)
        flags.insert(option);
    if (modifiers & Qt::MetaModifier)
        flags.insert(control);
    if (modifiers & Qt::ShiftModifier)
        flags.insert(shift);
    if (modifiers & Qt::KeypadModifier)
        flags.insert(numericPad);
    return flags;
}

quint32 ModifierFlags::carbonFlags() const
{
    quint32 bits = 0;
    for (const ModifierRow &row : modifierRows) {
        if (contains(row.flag))
            bits |= row.carbon;
    }
    return bits;
}

QString ModifierFlags::description() const
{
    QString text;
    if (contains(control))
        text += QChar(0x2303);
    if (contains(option))
        text += QChar(0x2325);
    if (contains(shift))
        text += QChar(0x21E7);
    if (contains(command))
        text += QChar(0x2318);
    return text;
}

QString ModifierFlags::readableDescription() const
{
    // The order Qt and the Linux desktops write key sequences in.
    QString text;
    if (contains(control))
        text += LocalizedText(Text::keySuper) + u'+';
    if (contains(command))
        text += LocalizedText(Text::keyCtrl) + u'+';
    if (contains(option))
        text += LocalizedText(Text::keyAlt) + u'+';
    if (contains(shift))
        text += LocalizedText(Text::keyShift) + u'+';
    return text;
}
