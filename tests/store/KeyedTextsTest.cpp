#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

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

// Runs the header generator on table and names in a temporary folder: its
// exit code, its error output, and the header it wrote.
struct Generated
{
    int exitCode = -1;
    QString errors;
    QString header;
};

Generated generate(const QByteArray &table, const QByteArray &names)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    write(u"English.plist"_qs,
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>" + table + "</dict></plist>");
    write(u"names.txt"_qs, names);
    QProcess generator;
    generator.start(QStringLiteral(BRIMBLE_PYTHON),
                    {QStringLiteral(BRIMBLE_TEXT_KEYS_GENERATOR), dir.filePath(u"English.plist"_qs),
                     dir.filePath(u"names.txt"_qs), dir.filePath(u"TextKeys.h"_qs)});
    EXPECT_TRUE(generator.waitForFinished(60000));
    QFile header(dir.filePath(u"TextKeys.h"_qs));
    return {generator.exitCode(), QString::fromUtf8(generator.readAllStandardError()),
            header.open(QIODevice::ReadOnly) ? QString::fromUtf8(header.readAll()) : QString()};
}

TEST(KeyedTexts, TheBuildStopsUnlessEveryKeyHasOneUniqueName)
{
    const QByteArray table = "<key>IDS_BR_1</key><string>OK</string><key>IDS_BR_2</key><string>Cancel\nnow</string>";
    const struct
    {
        const char *names;
        const char *problem; // empty: the header is written
    } cases[] = {
        {"# comment\nIDS_BR_2 cancel\nIDS_BR_1   ok  # trailing\n", ""},
        {"IDS_BR_1 ok\n", "IDS_BR_2 (\u201cCancel\nnow\u201d) has no name"},
        {"IDS_BR_1 ok\nIDS_BR_2 cancel\nIDS_BR_3 gone\n", ":3: IDS_BR_3 (gone) is not in"},
        {"IDS_BR_1 ok\nIDS_BR_2 ok\n", ":2: the name ok is already given to IDS_BR_1 (line 1)"},
        {"IDS_BR_1 ok\nIDS_BR_1 yes\nIDS_BR_2 cancel\n", ":2: IDS_BR_1 is named twice"},
        {"IDS_BR_1 ok\nIDS_BR_2 delete\n", ":2: 'delete' cannot be a C++ name"},
        {"IDS_BR_1 ok\nIDS_BR_2 2cancel\n", ":2: '2cancel' cannot be a C++ name"},
        {"IDS_BR_1 ok\nIDS_BR_2\n", ":2: expected a key and a name"},
    };
    for (const auto &c : cases) {
        const Generated generated = generate(table, c.names);
        if (*c.problem == 0) {
            EXPECT_EQ(generated.exitCode, 0) << generated.errors.toStdString();
            EXPECT_TRUE(generated.header.contains(u"// OK\ninline constexpr TextKey ok{\"IDS_BR_1\"};"_qs));
            EXPECT_TRUE(generated.header.contains(u"// Cancel now\ninline constexpr TextKey cancel{\"IDS_BR_2\"};"_qs))
                << "one comment line per text, in the table's order";
            EXPECT_LT(generated.header.indexOf(u"ok{"_qs), generated.header.indexOf(u"cancel{"_qs));
        } else {
            EXPECT_NE(generated.exitCode, 0) << c.names;
            EXPECT_TRUE(generated.errors.contains(QString::fromUtf8(c.problem))) << generated.errors.toStdString();
            EXPECT_TRUE(generated.header.isEmpty()) << c.names;
        }
    }
}

TEST(KeyedTexts, NamedConstantsLookUpTheirTexts)
{
    static_assert(Text::itemTitle == TextKey("IDS_BR_86"));
    Localization::setTable(loadLanguageTable(u"French"_qs), true);
    EXPECT_EQ(LocalizedText(Text::itemTitle), u"Titre"_qs);
    Localization::setTable(std::nullopt);
}

} // namespace
