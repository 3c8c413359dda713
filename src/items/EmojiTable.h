#pragma once

#include <cstdint>

// The emoji of the character palette, generated at build time from
// Unicode's emoji-test.txt (every fully-qualified emoji, in Unicode's order)
// and CLDR's French annotations.
//
// The entries hold offsets into one block of NUL-terminated UTF-8 strings
// rather than pointers: the table needs no relocation, so it stays in
// read-only pages the loader never touches, read only once the palette is
// used. Identical strings are stored once.
namespace EmojiTable {

struct Entry
{
    std::uint32_t text; // the emoji
    std::uint32_t name; // Unicode's English short name
    // CLDR's French short name, empty when CLDR has none; a derived name is
    // split before its colon ("ouvrière du bâtiment" and ": peau claire"),
    // the tails being shared.
    std::uint32_t frenchName;
    std::uint32_t frenchFolded;   // frenchName (else the English name) folded for search
    std::uint32_t frenchKeywords; // CLDR's French keywords folded for search, one a line,
                                  // without those the folded name already holds
    std::uint16_t frenchTail;     // index into frenchTails; 0 for none
    std::uint8_t group;           // index into groupNames
    bool skinTone;                // a skin-tone variant of another entry
};

// The string at offset in the block.
extern const char strings[];
inline const char *string(std::uint32_t offset)
{
    return strings + offset;
}

struct Tail
{
    std::uint32_t text;
    std::uint32_t folded;
};

extern const Tail frenchTails[];
extern const std::uint32_t groupNames[]; // offsets in strings
extern const int groupCount;
extern const Entry entries[];
extern const int entryCount;

} // namespace EmojiTable
