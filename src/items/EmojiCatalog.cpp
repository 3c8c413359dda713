#include "items/EmojiCatalog.h"

#include "items/EmojiTable.h"

#include <QHash>

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
            entries.append({QString::fromUtf8(entry.text), QString::fromUtf8(entry.name), entry.group,
                            entry.skinTone});
            byText.insert(entries.last().text, i);
        }
        for (int i = 0; i < EmojiTable::groupCount; ++i)
            groups.append(QString::fromUtf8(EmojiTable::groupNames[i]));
    }
};

const Catalog &catalog()
{
    static const Catalog instance;
    return instance;
}

} // namespace

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
    const QString wanted = query.simplified();
    const QStringList words = wanted.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
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
