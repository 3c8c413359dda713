#include "store/SearchRules.h"

#include "store/SearchFolding.h"

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Whether haystack, folded, contains needle (folded already). Most texts
// are plain ASCII: those are folded unit by unit as they are read, without
// a copy; any other is folded whole.
bool containsFolded(QStringView haystack, const QString &needle, bool needleIsAscii)
{
    if (!isAscii(haystack))
        return SearchFolding::folded(haystack.toString()).contains(needle);
    if (!needleIsAscii)
        return false;
    const qsizetype last = haystack.size() - needle.size();
    const char16_t first = needle.front().unicode();
    for (qsizetype i = 0; i <= last; ++i) {
        if (SearchFolding::foldedAscii(haystack[i].unicode()) != first)
            continue;
        qsizetype j = 1;
        while (j < needle.size() && SearchFolding::foldedAscii(haystack[i + j].unicode()) == needle[j].unicode())
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

FoldedText::FoldedText(const QString &text)
    : m_needle(SearchFolding::folded(text))
    , m_needleIsAscii(isAscii(m_needle))
{
}

bool FoldedText::isFoundIn(QStringView text) const
{
    return !m_needle.isEmpty() && containsFolded(text, m_needle, m_needleIsAscii);
}

FoldedItemTexts::FoldedItemTexts(const Item &item)
    : title(SearchFolding::folded(item.title()))
    , target(searchesTarget(item.kind()) ? SearchFolding::folded(item.target()) : QString())
{
}

PopupSearch::PopupSearch(const QString &text)
    : m_needle(text)
{
}

PopupSearch::Match PopupSearch::match(const Item &item) const
{
    if (m_needle.isEmpty())
        return Match::none;
    if (m_needle.isFoundIn(item.title()))
        return Match::title;
    return searchesTarget(item.kind()) && m_needle.isFoundIn(item.target()) ? Match::target : Match::none;
}

PopupSearch::Match PopupSearch::match(const FoldedItemTexts &texts) const
{
    if (m_needle.isFoundInFolded(texts.title))
        return Match::title;
    return m_needle.isFoundInFolded(texts.target) ? Match::target : Match::none;
}

ManagerSearch::ManagerSearch(const QString &text)
    : m_needle(text)
{
}

bool ManagerSearch::matches(const Item &item) const
{
    return m_needle.isFoundIn(item.title()) || (searchesTarget(item.kind()) && m_needle.isFoundIn(item.target()));
}
