#include "store/LocalizedText.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QVariantMap tableOf(const QString &language)
{
    const std::optional<QVariantMap> table = loadLanguageTable(language);
    EXPECT_TRUE(table) << language.toStdString() << " table does not load";
    return table.value_or(QVariantMap());
}

// The keys, sorted, that table lacks.
std::string missing(const QStringList &keys, const QVariantMap &table)
{
    QStringList lacking;
    for (const QString &key : keys)
        lacking.append(table.contains(key) ? QString() : key);
    lacking.removeAll(QString());
    lacking.sort();
    return lacking.join(u", "_qs).toStdString();
}

// Every capture of pattern in text.
QSet<QString> matchesOf(const QRegularExpression &pattern, const QString &text, int group = 0)
{
    QSet<QString> found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured(group));
    return found;
}

TEST(KeyedTexts, BothTablesHoldTheSameKeysWithMatchingTexts)
{
    const QVariantMap en = tableOf(u"English"_qs);
    const QVariantMap fr = tableOf(u"French"_qs);
    ASSERT_FALSE(en.isEmpty());
    EXPECT_EQ(missing(en.keys(), fr), "") << "only in English";
    EXPECT_EQ(missing(fr.keys(), en), "") << "only in French";

    for (const QVariantMap &table : {en, fr}) {
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            EXPECT_EQ(it.value().typeId(), QMetaType::QString) << it.key().toStdString();
            EXPECT_FALSE(it.value().toString().trimmed().isEmpty()) << it.key().toStdString();
        }
    }

    // A translation that drops or adds an argument would show a raw "%1" or
    // lose the filled-in value. A plain space before French punctuation lets a
    // line break strand the mark at the start of the next line.
    static const QRegularExpression argument(u"%\\d+"_qs);
    static const QRegularExpression plainSpace(u"( [:;?!\u00BB])|(\u00AB )"_qs);
    for (auto it = fr.cbegin(); it != fr.cend(); ++it) {
        EXPECT_EQ(matchesOf(argument, it.value().toString()), matchesOf(argument, en.value(it.key()).toString()))
            << it.key().toStdString();
        EXPECT_FALSE(plainSpace.match(it.value().toString()).hasMatch()) << it.key().toStdString();
    }
}

TEST(KeyedTexts, EveryKeyTheCodeLooksUpIsInBothTables)
{
    const QString sources = QStringLiteral(BRIMBLE_SOURCE_DIR);
    ASSERT_TRUE(QFile::exists(sources + u"/store/LocalizedText.h"_qs)) << sources.toStdString();
    static const QRegularExpression literal(u"\"(IDS_BR_\\d+)\""_qs);
    QSet<QString> used;
    QDirIterator files(sources, {u"*.cpp"_qs, u"*.h"_qs}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            used += matchesOf(literal, QString::fromUtf8(file.readAll()), 1);
    }
    for (const QString &language : {u"English"_qs, u"French"_qs})
        EXPECT_EQ(missing(used.values(), tableOf(language)), "") << language.toStdString() << " lacks keys";
}

} // namespace
