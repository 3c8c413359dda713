#include "store/LocalizedText.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

const QString english = QStringLiteral("English");
const QString french = QStringLiteral("French");

QVariantMap tableOf(const QString &language)
{
    const std::optional<QVariantMap> table = loadLanguageTable(language);
    EXPECT_TRUE(table) << language.toStdString() << " table does not load";
    return table.value_or(QVariantMap());
}

QSet<QString> keySet(const QVariantMap &table)
{
    const QStringList keys = table.keys();
    return QSet<QString>(keys.begin(), keys.end());
}

std::string listed(QStringList keys)
{
    keys.sort();
    return keys.join(QStringLiteral(", ")).toStdString();
}

// The "%1"-style arguments a text expects.
QSet<QString> argumentsOf(const QString &text)
{
    static const QRegularExpression argument(QStringLiteral("%\\d+"));
    QSet<QString> found;
    for (auto it = argument.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

// Every "IDS_BR_<n>" string literal in the source files under root.
QSet<QString> keysUsedUnder(const QString &root)
{
    static const QRegularExpression literal(QStringLiteral("\"(IDS_BR_\\d+)\""));
    QSet<QString> keys;
    QDirIterator files(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto it = literal.globalMatch(text); it.hasNext();)
            keys.insert(it.next().captured(1));
    }
    return keys;
}

TEST(KeyedTexts, BothTablesHoldTheSameWellFormedKeysWithText)
{
    const QVariantMap en = tableOf(english);
    const QVariantMap fr = tableOf(french);
    ASSERT_FALSE(en.isEmpty());

    EXPECT_TRUE((keySet(en) - keySet(fr)).isEmpty()) << "only in English: " << listed((keySet(en) - keySet(fr)).values());
    EXPECT_TRUE((keySet(fr) - keySet(en)).isEmpty()) << "only in French: " << listed((keySet(fr) - keySet(en)).values());

    static const QRegularExpression wellFormed(QStringLiteral("^IDS_BR_[1-9][0-9]*$"));
    for (const QVariantMap &table : {en, fr}) {
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            EXPECT_TRUE(wellFormed.match(it.key()).hasMatch()) << it.key().toStdString();
            EXPECT_EQ(it.value().typeId(), QMetaType::QString) << it.key().toStdString();
            EXPECT_FALSE(it.value().toString().trimmed().isEmpty()) << it.key().toStdString();
        }
    }

    // A translation that drops or adds an argument would show a raw "%1"
    // or lose the filled-in value.
    for (auto it = en.cbegin(); it != en.cend(); ++it) {
        if (!fr.contains(it.key()))
            continue;
        EXPECT_EQ(argumentsOf(it.value().toString()), argumentsOf(fr.value(it.key()).toString()))
            << it.key().toStdString();
    }
}

TEST(KeyedTexts, FrenchPunctuationKeepsItsNonBreakingSpaces)
{
    // A plain space there lets a line break strand the mark at the start of
    // the next line, or a guillemet at the end of one.
    static const QRegularExpression plainSpace(QStringLiteral("( [:;?!\u00BB])|(\u00AB )"));
    const QVariantMap fr = tableOf(french);
    for (auto it = fr.cbegin(); it != fr.cend(); ++it)
        EXPECT_FALSE(plainSpace.match(it.value().toString()).hasMatch()) << it.key().toStdString();
}

TEST(KeyedTexts, EveryKeyTheCodeLooksUpIsInBothTables)
{
    const QString sources = QStringLiteral(BRIMBLE_SOURCE_DIR);
    ASSERT_TRUE(QFile::exists(sources + QStringLiteral("/store/LocalizedText.h"))) << sources.toStdString();

    const QSet<QString> used = keysUsedUnder(sources);
    for (const QString &language : {english, french}) {
        const QSet<QString> missing = used - keySet(tableOf(language));
        EXPECT_TRUE(missing.isEmpty()) << language.toStdString() << " lacks " << listed(missing.values());
    }
}

} // namespace
