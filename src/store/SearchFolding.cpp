#include "store/SearchFolding.h"

#include <algorithm>
#include <array>

namespace SearchFolding {

QString foldedByUnicode(const QString &text)
{
    // Marks go before the case fold: a capital with a dot above (İ) has no
    // simple case fold of its own, its base letter has.
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        switch (c.category()) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            continue;
        default:
            bare += c;
        }
    }
    const QString caseFolded = bare.toCaseFolded();
    QString out;
    out.reserve(caseFolded.size());
    for (const QChar c : caseFolded) {
        switch (c.unicode()) {
        case u'œ':
            out += u"oe";
            break;
        case u'æ':
            out += u"ae";
            break;
        case u'ß':
            out += u"ss";
            break;
        case u'\u2018': // ‘
        case u'\u2019': // ’
        case u'\u02BC': // ʼ
            out += u'\'';
            break;
        default:
            out += c.isSpace() ? QChar(u' ') : c;
        }
    }
    return out;
}

namespace {

// The fold of each Latin letter (up to Latin Extended-B) and of the general
// punctuation (typographic quotes, dashes, spaces), worked out once with
// foldedByUnicode: those make up nearly all of what French and other
// European titles hold, and normalizing a whole text costs far more than
// looking its units up. A text folds unit by unit where it can, since none
// of these units is a combining mark and each decomposes into a letter
// followed by marks the fold drops: marks that follow one in the text are
// folded with the units after it and fold to nothing, as they would whole.
class LatinFoldTable final
{
public:
    struct Fold
    {
        std::array<char16_t, 2> units{};
        // 0 where the unit's fold does not fit, so the unit is folded by
        // foldedByUnicode after all.
        quint8 length = 0;
    };

    static const LatinFoldTable &instance()
    {
        static const LatinFoldTable table;
        return table;
    }

    // The unit's fold, or null where it is folded by foldedByUnicode.
    const Fold *find(char16_t unit) const
    {
        const Fold *fold = nullptr;
        if (unit < latinEnd)
            fold = &m_latin[unit];
        else if (unit >= punctuationBegin && unit < punctuationEnd)
            fold = &m_punctuation[unit - punctuationBegin];
        return fold && fold->length > 0 ? fold : nullptr;
    }

private:
    static constexpr char16_t latinEnd = 0x0250;
    static constexpr char16_t punctuationBegin = 0x2000;
    static constexpr char16_t punctuationEnd = 0x2070;

    LatinFoldTable()
    {
        for (char16_t unit = 0; unit < latinEnd; ++unit)
            m_latin[unit] = foldOf(unit);
        for (char16_t unit = punctuationBegin; unit < punctuationEnd; ++unit)
            m_punctuation[unit - punctuationBegin] = foldOf(unit);
    }

    static Fold foldOf(char16_t unit)
    {
        const QString text = foldedByUnicode(QString(QChar(unit)));
        Fold fold;
        if (text.isEmpty() || text.size() > qsizetype(fold.units.size()))
            return fold;
        std::copy(text.utf16(), text.utf16() + text.size(), fold.units.begin());
        fold.length = quint8(text.size());
        return fold;
    }

    std::array<Fold, latinEnd> m_latin;
    std::array<Fold, punctuationEnd - punctuationBegin> m_punctuation;
};

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QString folded(const QString &text)
{
    if (isAscii(text)) {
        QString out(text.size(), Qt::Uninitialized);
        std::transform(text.utf16(), text.utf16() + text.size(), reinterpret_cast<char16_t *>(out.data()), foldedAscii);
        return out;
    }
    const LatinFoldTable &table = LatinFoldTable::instance();
    // Room for every unit folded to two, as the ligatures are; a run folded
    // by foldedByUnicode may need more.
    QString out(text.size() * 2, Qt::Uninitialized);
    char16_t *units = reinterpret_cast<char16_t *>(out.data());
    qsizetype length = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        if (const LatinFoldTable::Fold *fold = table.find(text.at(i).unicode())) {
            units[length] = fold->units[0];
            units[length + 1] = fold->units[1];
            length += fold->length;
            ++i;
            continue;
        }
        // The run of units the table does not hold, folded whole: the
        // marks and surrogates in it stay with their neighbours.
        qsizetype runEnd = i + 1;
        while (runEnd < text.size() && !table.find(text.at(runEnd).unicode()))
            ++runEnd;
        const QString run = foldedByUnicode(text.sliced(i, runEnd - i));
        const qsizetype needed = length + run.size() + (text.size() - runEnd) * 2;
        if (needed > out.size()) {
            out.resize(needed);
            units = reinterpret_cast<char16_t *>(out.data());
        }
        std::copy(run.utf16(), run.utf16() + run.size(), units + length);
        length += run.size();
        i = runEnd;
    }
    out.truncate(length);
    return out;
}

} // namespace SearchFolding
