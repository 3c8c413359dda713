#pragma once

// The emoji of the character palette, generated at build time from
// Unicode's emoji-test.txt: every fully-qualified emoji, in Unicode's order.
namespace EmojiTable {

struct Entry
{
    const char *text; // UTF-8
    const char *name; // Unicode's English short name
    int group;        // index into groupNames
    bool skinTone;    // a skin-tone variant of another entry
};

extern const char *const groupNames[];
extern const int groupCount;
extern const Entry entries[];
extern const int entryCount;

} // namespace EmojiTable
