#include "store/SearchFolding.h"

#include <algorithm>

namespace SearchFolding {

QString folded(const QString &text)
{
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        QString out(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = QChar(foldedAscii(text.at(i).unicode()));
        return out;
    }
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

} // namespace SearchFolding
