// Turns Unicode's emoji-test.txt and CLDR's French annotations into the C++
// table of the character palette: every fully-qualified emoji with its
// English name, group, French name and French keywords, in the file's order.
// Run at build time; usage:
//   generator <emoji-test.txt> <annotations/fr.xml> <annotationsDerived/fr.xml> <out.cpp>

#include "store/SearchFolding.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Entry
{
    std::vector<char32_t> codePoints;
    std::string name;
    int group = 0;
    bool skinTone = false;
};

// What CLDR says of one character sequence in French.
struct Annotation
{
    QString name;         // type="tts"
    QStringList keywords; // the "|"-separated list
};

std::string trimmed(const std::string &text)
{
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
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
        const auto value = char32_t(std::stoul(point, nullptr, 16));
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

// Reads the annotations of one CLDR file into annotations; a name or keyword
// list already there is kept (the hand-written file is read before the
// derived one).
bool readAnnotations(const char *path, QHash<QString, Annotation> &annotations)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "cannot read " << path << " (Debian package unicode-cldr-core)\n";
        return false;
    }
    QHash<QString, Annotation> read;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("annotation"))
            continue;
        const QString cp = xml.attributes().value(QLatin1String("cp")).toString();
        const bool tts = xml.attributes().value(QLatin1String("type")) == QLatin1String("tts");
        const QString text = xml.readElementText().trimmed();
        if (cp.isEmpty() || text.isEmpty())
            continue;
        Annotation &annotation = read[cp];
        if (tts) {
            annotation.name = text;
        } else {
            for (const QString &keyword : text.split(u'|', Qt::SkipEmptyParts)) {
                if (!keyword.trimmed().isEmpty())
                    annotation.keywords.append(keyword.trimmed());
            }
        }
    }
    if (xml.hasError()) {
        std::cerr << path << ": " << xml.errorString().toStdString() << " at line " << xml.lineNumber() << "\n";
        return false;
    }
    for (auto it = read.cbegin(); it != read.cend(); ++it) {
        Annotation &known = annotations[it.key()];
        if (known.name.isEmpty())
            known.name = it->name;
        if (known.keywords.isEmpty())
            known.keywords = it->keywords;
    }
    return true;
}

// The folded keywords that can find something the folded name cannot: a
// keyword inside the name, or inside a longer keyword kept, adds nothing to a
// search by parts of words. One a line.
std::string searchKeywords(const QString &foldedName, const QStringList &keywords)
{
    QStringList folded;
    for (const QString &keyword : keywords)
        folded.append(SearchFolding::folded(keyword));
    std::stable_sort(folded.begin(), folded.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
    QStringList kept;
    for (const QString &keyword : std::as_const(folded)) {
        const bool known = foldedName.contains(keyword)
                           || std::any_of(kept.begin(), kept.end(),
                                          [&keyword](const QString &other) { return other.contains(keyword); });
        if (!known)
            kept.append(keyword);
    }
    return kept.join(u'\n').toStdString();
}

// One block of NUL-terminated strings, each stored once.
class StringBlock
{
public:
    StringBlock() { add({}); }

    std::uint32_t add(const std::string &text)
    {
        const auto found = m_offsets.find(text);
        if (found != m_offsets.end())
            return found->second;
        const auto offset = std::uint32_t(m_size);
        m_offsets.emplace(text, offset);
        m_indexes.emplace(offset, m_strings.size());
        m_strings.push_back(text);
        m_size += text.size() + 1;
        return offset;
    }

    // The block as C++ string literals, one a line; non-ASCII bytes as octal
    // escapes so the output is plain ASCII whatever the compiler's source
    // character set.
    void write(std::ostream &output) const
    {
        for (const std::string &text : m_strings) {
            output << "    \"";
            for (const unsigned char c : text) {
                if (c == '"' || c == '\\') {
                    output << '\\' << char(c);
                } else if (c < 0x20 || c > 0x7E) {
                    char escape[5];
                    std::snprintf(escape, sizeof escape, "\\%03o", c);
                    output << escape;
                } else {
                    output << char(c);
                }
            }
            output << "\\000\"\n";
        }
    }

    std::size_t size() const { return m_size; }
    // The string added at offset.
    const std::string &at(std::uint32_t offset) const { return m_strings.at(m_indexes.at(offset)); }

private:
    std::map<std::string, std::uint32_t> m_offsets;
    std::map<std::uint32_t, std::size_t> m_indexes;
    std::vector<std::string> m_strings;
    std::size_t m_size = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::cerr << "usage: " << argv[0]
                  << " emoji-test.txt annotations/fr.xml annotationsDerived/fr.xml output.cpp\n";
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::cerr << "cannot read " << argv[1] << " (Debian package unicode-data)\n";
        return 1;
    }
    QHash<QString, Annotation> french;
    if (!readAnnotations(argv[2], french) || !readAnnotations(argv[3], french))
        return 1;

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
    if (groups.size() > 255) {
        std::cerr << "too many groups in " << argv[1] << "\n";
        return 1;
    }

    StringBlock strings;
    std::vector<std::uint32_t> groupOffsets;
    for (const std::string &group : groups)
        groupOffsets.push_back(strings.add(group));
    // The derived names share their tails (": peau claire") in a table of
    // their own; tail 0 is none.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tails{{0, 0}};
    std::map<std::string, std::size_t> tailIndexes;
    std::ostringstream rows;
    int withoutFrench = 0;
    for (const Entry &entry : entries) {
        const QString text = QString::fromUcs4(entry.codePoints.data(), qsizetype(entry.codePoints.size()));
        // CLDR lists most emoji without their variation selector.
        auto found = french.constFind(text);
        if (found == french.cend())
            found = french.constFind(QString(text).remove(QChar(0xFE0F)));
        const Annotation annotation = found == french.cend() ? Annotation() : *found;
        if (annotation.name.isEmpty())
            ++withoutFrench;
        QString head = annotation.name;
        std::size_t tail = 0;
        if (const qsizetype colon = head.indexOf(u':'); colon > 0 && head.at(colon - 1).isSpace()) {
            const QString tailText = head.mid(colon - 1);
            head.truncate(colon - 1);
            const auto [place, added] = tailIndexes.emplace(tailText.toStdString(), tails.size());
            if (added) {
                tails.emplace_back(strings.add(tailText.toStdString()),
                                   strings.add(SearchFolding::folded(tailText).toStdString()));
            }
            tail = place->second;
        }
        const QString foldedHead = SearchFolding::folded(annotation.name.isEmpty() ? QString::fromStdString(entry.name)
                                                                                   : head);
        const QString foldedName = tail == 0 ? foldedHead
                                             : foldedHead + QString::fromUtf8(strings.at(tails.at(tail).second));
        rows << "    {" << strings.add(text.toStdString()) << ", " << strings.add(entry.name) << ", "
             << strings.add(head.toStdString()) << ", " << strings.add(foldedHead.toStdString()) << ", "
             << strings.add(searchKeywords(foldedName, annotation.keywords)) << ", " << tail << ", " << entry.group
             << ", " << (entry.skinTone ? "true" : "false") << "},\n";
    }
    if (tails.size() > 0xFFFF) {
        std::cerr << "too many kinds of derived names\n";
        return 1;
    }

    std::ofstream output(argv[4], std::ios::trunc);
    output << "// Generated from " << argv[1] << ", " << argv[2] << " and " << argv[3]
           << " at build time. Do not edit.\n"
           << "// " << entries.size() << " emoji, " << withoutFrench << " without a French name; " << strings.size()
           << " bytes of strings.\n\n"
           << "#include \"items/EmojiTable.h\"\n\n"
           << "namespace EmojiTable {\n\n"
           << "const char strings[] =\n";
    strings.write(output);
    output << "    ;\n\nconst std::uint32_t groupNames[] = {";
    for (const std::uint32_t offset : groupOffsets)
        output << offset << ", ";
    output << "};\nconst int groupCount = " << groups.size() << ";\n\n"
           << "const Tail frenchTails[] = {\n";
    for (const auto &[tailText, folded] : tails)
        output << "    {" << tailText << ", " << folded << "},\n";
    output << "};\n\n"
           << "const Entry entries[] = {\n"
           << rows.str() << "};\nconst int entryCount = " << entries.size() << ";\n\n} // namespace EmojiTable\n";
    output.close();
    if (!output) {
        std::cerr << "cannot write " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
