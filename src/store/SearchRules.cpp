#include "store/SearchRules.h"

namespace {

// Lower case, one UTF-16 unit at a time, the same way on both sides of a
// comparison; ASCII without a table look-up.
char16_t lowered(char16_t unit)
{
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
    return char16_t(QChar::toLower(char32_t(unit)));
}

QString lowered(const QString &text)
{
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(lowered(text.at(i).unicode()));
    return result;
}

// Whether the lower-cased haystack contains needle (lower-cased already),
// without making a lower-cased copy.
bool containsLowered(QStringView haystack, QStringView needle)
{
    const qsizetype last = haystack.size() - needle.size();
    const char16_t first = needle.front().unicode();
    for (qsizetype i = 0; i <= last; ++i) {
        if (lowered(haystack[i].unicode()) != first)
            continue;
        qsizetype j = 1;
        while (j < needle.size() && lowered(haystack[i + j].unicode()) == needle[j].unicode())
            ++j;
        if (j == needle.size())
            return true;
    }
    return false;
}

// What a search reads besides the title: a bookmark's address, a file
// item's path.
bool searchesTarget(ItemKind kind)
{
    return kind == ItemKind::bookmark || kind == ItemKind::normalFile;
}

} // namespace

PopupSearch::PopupSearch(const QString &text)
    : m_needle(lowered(text))
{
}

PopupSearch::Match PopupSearch::match(const Item &item) const
{
    if (m_needle.isEmpty())
        return Match::none;
    if (containsLowered(item.title(), m_needle))
        return Match::title;
    return searchesTarget(item.kind()) && containsLowered(item.target(), m_needle) ? Match::target : Match::none;
}

ManagerSearch::ManagerSearch(const QString &text)
    : m_needle(text.toLower())
{
}

bool ManagerSearch::matches(const Item &item) const
{
    if (m_needle.isEmpty())
        return false;
    return item.title().toLower().contains(m_needle)
        || (searchesTarget(item.kind()) && item.target().toLower().contains(m_needle));
}
