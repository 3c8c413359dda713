#include "items/EmojiCatalog.h"

#include "items/EmojiTable.h"
#include "store/LocalizedText.h"
#include "store/SearchFolding.h"

#include <QHash>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

struct Catalog
{
    QList<Emoji> entries;
    QStringList groups;
    QHash<QString, int> byText;

    Catalog()
    {
        entries.reserve(EmojiTable::entryCount);
        for (int i = 0; i < EmojiTable::entryCount; ++i) {
            const EmojiTable::Entry &entry = EmojiTable::entries[i];
            QString frenchName = QString::fromUtf8(EmojiTable::string(entry.frenchName));
            if (entry.frenchTail != 0)
                frenchName += QString::fromUtf8(EmojiTable::string(EmojiTable::frenchTails[entry.frenchTail].text));
            entries.append({QString::fromUtf8(EmojiTable::string(entry.text)),
                            QString::fromUtf8(EmojiTable::string(entry.name)), frenchName, entry.group,
                            entry.skinTone});
            byText.insert(entries.last().text, i);
        }
        for (int i = 0; i < EmojiTable::groupCount; ++i)
            groups.append(QString::fromUtf8(EmojiTable::string(EmojiTable::groupNames[i])));
    }
};

const Catalog &catalog()
{
    static const Catalog instance;
    return instance;
}

// Whether the folded French name of entry, given as its head and tail,
// begins with prefix.
bool startsWith(std::string_view head, std::string_view tail, std::string_view prefix)
{
    if (prefix.size() <= head.size())
        return head.starts_with(prefix);
    return prefix.starts_with(head) && tail.starts_with(prefix.substr(head.size()));
}

// The French search: the table holds the French names and keywords already
// folded, in UTF-8, so only the query is folded here.
QList<int> searchInFrench(const QStringList &words, const QString &wanted)
{
    std::vector<QByteArray> utf8Words;
    for (const QString &word : words)
        utf8Words.push_back(word.toUtf8());
    const QByteArray utf8Wanted = wanted.toUtf8();
    const std::string_view leadingPrefix(utf8Wanted.constData(), std::size_t(utf8Wanted.size()));
    QList<int> leading;
    QList<int> others;
    const QList<Emoji> &entries = catalog().entries;
    for (int i = 0; i < entries.size(); ++i) {
        const EmojiTable::Entry &entry = EmojiTable::entries[i];
        const std::string_view head = EmojiTable::string(entry.frenchFolded);
        const std::string_view tail = EmojiTable::string(EmojiTable::frenchTails[entry.frenchTail].folded);
        const std::string_view keywords = EmojiTable::string(entry.frenchKeywords);
        bool matches = true;
        for (std::size_t w = 0; w < utf8Words.size() && matches; ++w) {
            const std::string_view word(utf8Words[w].constData(), std::size_t(utf8Words[w].size()));
            matches = head.find(word) != std::string_view::npos || tail.find(word) != std::string_view::npos
                      || keywords.find(word) != std::string_view::npos
                      || entries.at(i).name.contains(words.at(qsizetype(w)), Qt::CaseInsensitive);
        }
        if (matches)
            (startsWith(head, tail, leadingPrefix) ? leading : others).append(i);
    }
    return leading + others;
}

} // namespace

const QString &Emoji::localizedName() const
{
    return Localization::isFrench() && !frenchName.isEmpty() ? frenchName : name;
}

namespace EmojiCatalog {

const QList<Emoji> &all()
{
    return catalog().entries;
}

const QStringList &groupNames()
{
    return catalog().groups;
}

QList<int> browsable()
{
    QList<int> indexes;
    const QList<Emoji> &entries = all();
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries.at(i).skinTone)
            indexes.append(i);
    }
    return indexes;
}

std::optional<int> firstOfGroup(int group)
{
    const QList<Emoji> &entries = all();
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).group == group && !entries.at(i).skinTone)
            return i;
    }
    return std::nullopt;
}

QList<int> search(const QString &query)
{
    const bool french = Localization::isFrench();
    const QString wanted = french ? SearchFolding::folded(query).simplified() : query.simplified();
    const QStringList words = wanted.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    if (french)
        return searchInFrench(words, wanted);
    QList<int> leading;
    QList<int> others;
    const QList<Emoji> &entries = all();
    for (int i = 0; i < entries.size(); ++i) {
        const QString &name = entries.at(i).name;
        const bool matches = std::all_of(words.begin(), words.end(), [&name](const QString &word) {
            return name.contains(word, Qt::CaseInsensitive);
        });
        if (!matches)
            continue;
        (name.startsWith(wanted, Qt::CaseInsensitive) ? leading : others).append(i);
    }
    return leading + others;
}

std::optional<int> indexOf(const QString &text)
{
    const auto found = catalog().byText.constFind(text);
    if (found == catalog().byText.cend())
        return std::nullopt;
    return *found;
}

} // namespace EmojiCatalog
