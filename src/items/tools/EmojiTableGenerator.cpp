// Turns Unicode's emoji-test.txt into the C++ table of the character
// palette: every fully-qualified emoji with its name and group, in the
// file's order. Run at build time; usage: generator <emoji-test.txt> <out.cpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry
{
    std::vector<unsigned long> codePoints;
    std::string name;
    int group = 0;
    bool skinTone = false;
};

std::string trimmed(const std::string &text)
{
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// A C++ string literal holding text; non-ASCII bytes as octal escapes so the
// output is plain ASCII whatever the compiler's source character set.
std::string literal(const std::string &text)
{
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c > 0x7E) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + '"';
}

std::string utf8Literal(const std::vector<unsigned long> &codePoints)
{
    std::string out = "\"";
    for (const unsigned long cp : codePoints) {
        char escape[12];
        std::snprintf(escape, sizeof escape, "\\U%08lX", cp);
        out += escape;
    }
    return out + '"';
}

// "1F44B 1F3FB ; fully-qualified # 👋🏻 E1.0 waving hand: light skin tone"
bool parseLine(const std::string &line, Entry &entry)
{
    const auto semicolon = line.find(';');
    const auto hash = line.find('#');
    if (semicolon == std::string::npos || hash == std::string::npos || hash < semicolon)
        return false;
    if (trimmed(line.substr(semicolon + 1, hash - semicolon - 1)) != "fully-qualified")
        return false;
    std::istringstream points(line.substr(0, semicolon));
    std::string point;
    while (points >> point) {
        const unsigned long value = std::stoul(point, nullptr, 16);
        entry.codePoints.push_back(value);
        if (value >= 0x1F3FB && value <= 0x1F3FF)
            entry.skinTone = true;
    }
    // After "#": the emoji, its version ("E1.0"), then the name.
    std::istringstream comment(line.substr(hash + 1));
    std::string emoji, version;
    comment >> emoji >> version;
    std::getline(comment, entry.name);
    entry.name = trimmed(entry.name);
    return !entry.codePoints.empty() && !entry.name.empty() && version.size() > 1 && version[0] == 'E';
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " emoji-test.txt output.cpp\n";
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::cerr << "cannot read " << argv[1] << " (Debian package unicode-data)\n";
        return 1;
    }
    const std::string groupMark = "# group:";
    std::vector<std::string> groups;
    std::string pendingGroup;
    std::vector<Entry> entries;
    std::string line;
    while (std::getline(input, line)) {
        if (line.rfind(groupMark, 0) == 0) {
            pendingGroup = trimmed(line.substr(groupMark.size()));
            continue;
        }
        Entry entry;
        if (line.empty() || line[0] == '#' || !parseLine(line, entry))
            continue;
        // A group is listed only once it has an entry ("Component" has none).
        if (!pendingGroup.empty()) {
            groups.push_back(pendingGroup);
            pendingGroup.clear();
        }
        if (groups.empty())
            continue;
        entry.group = int(groups.size()) - 1;
        entries.push_back(entry);
    }
    if (entries.empty()) {
        std::cerr << "no fully-qualified emoji in " << argv[1] << "\n";
        return 1;
    }

    std::ofstream output(argv[2], std::ios::trunc);
    output << "// Generated from " << argv[1] << " at build time. Do not edit.\n\n"
           << "#include \"items/EmojiTable.h\"\n\n"
           << "namespace EmojiTable {\n\n"
           << "const char *const groupNames[] = {\n";
    for (const std::string &group : groups)
        output << "    " << literal(group) << ",\n";
    output << "};\nconst int groupCount = " << groups.size() << ";\n\n"
           << "const Entry entries[] = {\n";
    for (const Entry &entry : entries) {
        output << "    {" << utf8Literal(entry.codePoints) << ", " << literal(entry.name) << ", " << entry.group
               << ", " << (entry.skinTone ? "true" : "false") << "},\n";
    }
    output << "};\nconst int entryCount = " << entries.size() << ";\n\n} // namespace EmojiTable\n";
    output.close();
    if (!output) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
