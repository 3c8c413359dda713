#include "items/SearchFolding.h"

namespace SearchFolding {

QString folded(const QString &text)
{
    const QString decomposed = text.toCaseFolded().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        switch (c.category()) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            continue;
        default:
            break;
        }
        switch (c.unicode()) {
        case u'œ':
            out += u"oe";
            break;
        case u'æ':
            out += u"ae";
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
