#include "store/LocalizedText.h"

#include "platform/PlistCodec.h"
#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"

#include <QFile>
#include <QLocale>

#include <algorithm>

namespace {

struct Language
{
    std::optional<QVariantMap> table;
    bool french = false;
};

Language &current()
{
    static Language language;
    return language;
}

// The language part of a tag: "fr" of "fr-CA" or "fr_FR". A plain scan
// rather than a regular expression keeps the expression engine out of launch.
QString languageCode(const QString &tag)
{
    const auto end = std::find_if(tag.cbegin(), tag.cend(), [](QChar c) { return c == u'-' || c == u'_'; });
    return tag.first(end - tag.cbegin());
}

// Whether a preferred-language tag ("fr-CA", "fr_FR", "fr") names French.
std::optional<bool> isFrenchTag(const QString &tag)
{
    const QString code = languageCode(tag);
    if (code.isEmpty())
        return std::nullopt;
    return code == QLatin1String("fr");
}

} // namespace

QString LocalizedText(TextKey key)
{
    const auto &table = current().table;
    if (!table)
        return {};
    return StoredValue::stringIn(*table, QLatin1String(key.key())).value_or(QString());
}

QString countText(int count, TextKey one, TextKey many)
{
    // French counts nothing and one alike ("0 élément"); English says "0 items".
    const bool singular = current().french ? (count == 0 || count == 1) : count == 1;
    const QString format = LocalizedText(singular ? one : many);
    const QString number = QString::number(count);
    if (format.contains(QLatin1String("%1")))
        return format.arg(number);
    return QString(format).replace(QLatin1String("%@"), number);
}

QString itemCountText(int count)
{
    return countText(count, Text::itemCountOne, Text::itemCountMany);
}

std::optional<QVariantMap> loadLanguageTable(const QString &language)
{
    QFile file(QStringLiteral(":/texts/") + language + QStringLiteral(".plist"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseLanguageTable(file.readAll());
}

std::optional<QVariantMap> parseLanguageTable(const QByteArray &bytes)
{
    const auto root = PlistCodec::parse(bytes);
    if (!root || !StoredValue::isDictionary(*root))
        return std::nullopt;
    return root->toMap();
}

QMap<QString, QString> textInEveryLanguage(TextKey key)
{
    // Each table with the code desktop files use for its language.
    static constexpr struct
    {
        const char *table;
        const char *code;
    } languages[] = {
        {"English", ""},
        {"French", "fr"},
    };
    QMap<QString, QString> texts;
    for (const auto &language : languages) {
        const auto table = loadLanguageTable(QLatin1String(language.table));
        if (const auto text = table ? StoredValue::stringIn(*table, QLatin1String(key.key())) : std::nullopt)
            texts.insert(QLatin1String(language.code), *text);
    }
    return texts;
}

namespace Localization {

void chooseLanguage(PreferencesStore &preferences, const QStringList &preferredLanguages)
{
    bool french = false;
    const QVariant stored = preferences.objectForKey(StoreKeys::selectedLanguage);
    if (stored.isValid()) {
        french = StoredValue::toInteger(stored).value_or(0) != 0;
    } else {
        const QString first = preferredLanguages.value(0);
        const std::optional<bool> decided = isFrenchTag(first);
        if (decided) {
            french = *decided;
            preferences.setInteger(french ? 1 : 0, StoreKeys::selectedLanguage);
            printLine(languageCode(first));
        } else {
            printLine(QStringLiteral("= is not found"));
        }
    }
    current().french = french;
    current().table = loadLanguageTable(french ? QStringLiteral("French") : QStringLiteral("English"));
}

void chooseSystemLanguage(PreferencesStore &preferences)
{
    chooseLanguage(preferences, QLocale::system().uiLanguages());
}

void useLanguageOf(const PreferencesStore &preferences)
{
    const bool french = prefersFrench(preferences.objectForKey(StoreKeys::selectedLanguage),
                                      QLocale::system().uiLanguages());
    setTable(loadLanguageTable(french ? QStringLiteral("French") : QStringLiteral("English")), french);
}

bool isFrench()
{
    return current().french;
}

void setTable(const std::optional<QVariantMap> &table, bool french)
{
    current().table = table;
    current().french = french;
}

bool prefersFrench(const QVariant &storedSelection, const QStringList &preferredLanguages)
{
    if (storedSelection.isValid())
        return StoredValue::toInteger(storedSelection).value_or(0) != 0;
    return isFrenchTag(preferredLanguages.value(0)).value_or(false);
}

} // namespace Localization
