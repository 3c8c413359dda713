#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "store/TextKey.h"

#include <optional>

class PreferencesStore;

// The keyed texts of the interface, in the one language chosen at start.
// Name them by the constants of "store/TextKeys.h".

// The text under key in the loaded table; empty when there is no table, no
// entry, or the entry is not a string.
QString LocalizedText(TextKey key);

// A text holding a count: the singular form one or the plural form many, as
// the loaded language's rule asks (English: 1 is singular; French: 0 and 1
// are), the number in place of its placeholder ("%1", or the "%@" of tables
// written for other platforms). A form without a placeholder is kept whole.
QString countText(int count, TextKey one, TextKey many);
// A group's count text: "1 item", "3 items"; "0 élément", "2 éléments".
QString itemCountText(int count);

// The table of the language "English" or "French" from the resources.
std::optional<QVariantMap> loadLanguageTable(const QString &language);
// The table held by the bytes of a keyed-text file: a dictionary at the root.
std::optional<QVariantMap> parseLanguageTable(const QByteArray &bytes);
// The text under key in every table, for files the desktop shows in the
// user's language: keyed by the language's code ("fr"), English, the text
// for every other language, under the empty code. A table without the key
// is left out.
QMap<QString, QString> textInEveryLanguage(TextKey key);

namespace Localization {

// Decides the language (the stored "selectedLanguage", else the first of
// preferredLanguages, storing the decision) and loads its table.
void chooseLanguage(PreferencesStore &preferences, const QStringList &preferredLanguages);
// Chooses with the system's preferred languages.
void chooseSystemLanguage(PreferencesStore &preferences);
// Loads the table of the language stored in preferences, else of the
// system's, without storing or printing anything: for a process that only
// answers a command.
void useLanguageOf(const PreferencesStore &preferences);

bool isFrench();
// Replaces the loaded table; for tests.
void setTable(const std::optional<QVariantMap> &table, bool french = false);

// The decision chooseLanguage makes, without storing or printing it: for
// the texts of the command line, shown before the store is open.
bool prefersFrench(const QVariant &storedSelection, const QStringList &preferredLanguages);

} // namespace Localization
