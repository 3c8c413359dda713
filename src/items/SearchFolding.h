#pragma once

#include <QString>

// The form in which the character palette compares names with what the user
// types in French: letter case, accents and the œ/æ ligatures set aside, so
// "coeur" finds "cœur" and "etoile" finds "étoile". Shared with the tool that
// generates the emoji table, which stores the French keywords already folded.
namespace SearchFolding {

// text in lower case, without combining marks, "œ" as "oe" and "æ" as "ae",
// typographic apostrophes as "'" and every kind of space as a plain space.
QString folded(const QString &text);

} // namespace SearchFolding
