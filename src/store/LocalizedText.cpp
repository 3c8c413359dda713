#include "store/LocalizedText.h"

#include "platform/PlistCodec.h"
#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/StoreKeys.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

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

// Whether a preferred-language tag ("fr-CA", "fr_FR", "fr") names French.
std::optional<bool> isFrenchTag(const QString &tag)
{
    const QString code = tag.section(QRegularExpression(QStringLiteral("[-_]")), 0, 0);
    if (code.isEmpty())
        return std::nullopt;
    return code == QLatin1String("fr");
}

} // namespace

QString LocalizedText(const QString &key)
{
    const auto &table = current().table;
    if (!table)
        return {};
    return StoredValue::stringIn(*table, key).value_or(QString());
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
            printLine(first.section(QRegularExpression(QStringLiteral("[-_]")), 0, 0));
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
