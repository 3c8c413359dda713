#include "store/LocalizedText.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// Every match of pattern in text.
QSet<QString> matchesOf(const QRegularExpression &pattern, const QString &text)
{
    QSet<QString> found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

TEST(KeyedTexts, BothTablesHoldTheSameKeysWithMatchingTexts)
{
    const QVariantMap en = loadLanguageTable(u"English"_qs).value_or(QVariantMap());
    const QVariantMap fr = loadLanguageTable(u"French"_qs).value_or(QVariantMap());
    ASSERT_FALSE(en.isEmpty());
    for (const auto &[table, other] : {std::pair{&en, &fr}, std::pair{&fr, &en}}) {
        for (auto it = table->cbegin(); it != table->cend(); ++it) {
            EXPECT_TRUE(other->contains(it.key())) << it.key().toStdString() << " is in one table only";
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

TEST(KeyedTexts, TheCodeNamesEveryTextItShows)
{
    // A raw key says nothing at the call and escapes the names' checks:
    // the code says Text::<name>, which exists only for a key of the table.
    const QString sources = QStringLiteral(BRIMBLE_SOURCE_DIR);
    ASSERT_TRUE(QFile::exists(sources + u"/store/LocalizedText.h"_qs)) << sources.toStdString();
    static const QRegularExpression literal(u"\"IDS_BR_\\d+\""_qs);
    QStringList rawKeys;
    QDirIterator files(sources, {u"*.cpp"_qs, u"*.h"_qs}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly) && literal.match(QString::fromUtf8(file.readAll())).hasMatch())
            rawKeys.append(file.fileName().mid(sources.size() + 1));
    }
    EXPECT_EQ(rawKeys.join(u", "_qs).toStdString(), "");
}

} // namespace
