#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct Emoji
{
    QString text;
    QString name;       // Unicode's English short name
    QString frenchName; // CLDR's French short name; empty when CLDR has none
    int group = 0;
    bool skinTone = false;

    // The name shown and read out: the French one in French, when there is one.
    const QString &localizedName() const;
};

// The emoji the character palette offers, with their groups, and the search
// over their names.
namespace EmojiCatalog {

const QList<Emoji> &all();
const QStringList &groupNames();

// Indexes into all(), in order, of the entries shown while not searching:
// every emoji but the skin-tone variants.
QList<int> browsable();
// The index of the first browsable entry of group.
std::optional<int> firstOfGroup(int group);
// Indexes of the entries whose name holds every word of query, ignoring
// letter case; names that begin with the query come first. Empty for a
// query of no words. In French, a word may also be found in the French
// keywords or the English name, and accents and the œ/æ ligatures are
// ignored on both sides ("coeur" finds "cœur").
QList<int> search(const QString &query);
std::optional<int> indexOf(const QString &text);

} // namespace EmojiCatalog
