#include "app/CommandLine.h"

#include "platform/Paths.h"
#include "platform/PlistCodec.h"
#include "platform/RegularFile.h"
#include "platform/StoreFileState.h"
#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <QCommandLineParser>
#include <QFile>
#include <QLocale>

#include <cstdio>

namespace {

constexpr auto programName = "brimble";

// Loads the keyed texts of the language the interface would show: the
// stored choice, else the system's. The file is only read, never taken
// aside or written, so a second Brimble can do this beside a running one.
void useInterfaceLanguage()
{
    QVariant stored;
    // Only a regular file of bounded size: a pipe or a device there must not
    // hold up a line of help.
    const RegularFile::Contents file = RegularFile::read(Paths::preferencesFile(), largestStoreFile);
    if (file.ok()) {
        const auto root = PlistCodec::parse(file.bytes);
        if (root && StoredValue::isDictionary(*root))
            stored = root->toMap().value(StoreKeys::selectedLanguage);
    }
    const bool french = Localization::prefersFrench(stored, QLocale::system().uiLanguages());
    Localization::setTable(loadLanguageTable(french ? QStringLiteral("French") : QStringLiteral("English")), french);
}

void printErrorText(const QString &text)
{
    const QByteArray line = QByteArray(programName) + ": " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

void printHelp()
{
    const struct { const char *names; const char *key; } options[] = {
        {"-h, --help", "IDS_BR_345"},
        {"-v, --version", "IDS_BR_346"},
        {"--toggle", "IDS_BR_347"},
    };
    qsizetype width = 0;
    for (const auto &option : options)
        width = qMax(width, qsizetype(qstrlen(option.names)));
    printLine(LocalizedText("IDS_BR_342").arg(QLatin1String(programName)));
    printLine(LocalizedText("IDS_BR_343"));
    printLine(QString());
    printLine(LocalizedText("IDS_BR_344"));
    for (const auto &option : options)
        printLine(QStringLiteral("  ") + QString::fromLatin1(option.names).leftJustified(width + 2)
                  + LocalizedText(option.key));
}

// The error of arguments the parser refused, as the user typed them.
QString parseError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString &name = unknown.first();
        return LocalizedText("IDS_BR_348").arg((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    }
    // None of the options takes a value, so the only other refusal is one
    // given as --option=value.
    for (const QString &argument : arguments.mid(1)) {
        if (argument.startsWith(QLatin1Char('-')) && argument.contains(QLatin1Char('=')))
            return LocalizedText("IDS_BR_349").arg(argument.section(QLatin1Char('='), 0, 0));
    }
    return parser.errorText();
}

} // namespace

namespace CommandLine {

Request read(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help"),
                                              QStringLiteral("help-all")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption toggle(QStringLiteral("toggle"));
    parser.addOptions({help, version, toggle});
    if (!parser.parse(arguments)) {
        useInterfaceLanguage();
        printErrorText(parseError(parser, arguments));
        return {1};
    }
    if (parser.isSet(help)) {
        useInterfaceLanguage();
        printHelp();
        return {0};
    }
    if (parser.isSet(version)) {
        printLine(QLatin1String(programName) + QLatin1Char(' ') + QStringLiteral(BRIMBLE_VERSION));
        return {0};
    }
    return {std::nullopt, parser.isSet(toggle)};
}

void printError(const char *key, const QString &argument)
{
    // At quit the interface's table is loaded already; before the start it
    // is not.
    if (LocalizedText(key).isEmpty())
        useInterfaceLanguage();
    const QString text = LocalizedText(key);
    printErrorText(argument.isEmpty() ? text : text.arg(argument));
}

} // namespace CommandLine
