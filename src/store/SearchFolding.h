#pragma once

#include <QString>

// The form in which Brimble compares what the user types with names: letter
// case, accents and the œ/æ/ß ligatures set aside, so "coeur" finds "cœur",
// "ecole" finds "École" and "strasse" finds "Straße". The one fold of the
// popup's search, the manager's search and the character palette; shared
// with the tool that generates the emoji table, which stores the French
// keywords already folded.
namespace SearchFolding {

// text without combining marks, case-folded, "œ" as "oe", "æ" as "ae",
// "ß" as "ss", typographic apostrophes as "'" and every kind of space as a
// plain space.
QString folded(const QString &text);

// The same fold, worked out from Qt's Unicode data for the whole text:
// what folded() gives, more slowly. folded() looks Latin letters and
// punctuation up in a table made with it, and uses it for the rest.
QString foldedByUnicode(const QString &text);

// The same fold of one ASCII UTF-16 unit (below 0x80), where no table is
// needed: the searches fold plain ASCII texts in place with it.
constexpr char16_t foldedAscii(char16_t unit)
{
    if (unit >= u'A' && unit <= u'Z')
        return char16_t(unit + 32);
    return unit >= u'\t' && unit <= u'\r' ? u' ' : unit;
}

} // namespace SearchFolding
