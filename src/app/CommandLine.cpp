#include "app/CommandLine.h"

#include "platform/StandardOutput.h"
#include "store/LocalizedText.h"

#include <QCommandLineParser>
#include <QLocale>

#include <cstdio>

namespace {

constexpr auto programName = "brimble";

// The options QGuiApplication and QApplication take out of the arguments
// themselves, with one or two dashes; those with a value take the next
// argument, or one joined with "=".
struct QtOption
{
    const char *name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    {"display", true},         {"dograb", false},        {"geometry", true},      {"icon", true},
    {"name", true},            {"nograb", false},        {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},         {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"qwindowicon", true},     {"qwindowtitle", true},   {"reverse", false},      {"session", true},
    {"style", true},           {"stylesheet", true},     {"sync", false},         {"testability", false},
    {"title", true},           {"widgetcount", false},
};

const QtOption *qtOption(const QString &argument)
{
    if (!argument.startsWith(QLatin1Char('-')))
        return nullptr;
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
    for (const QtOption &option : qtOptions) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

// The arguments without Qt's own options.
QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList ours = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (const QtOption *option = qtOption(argument)) {
            if (option->takesValue && !argument.contains(QLatin1Char('=')))
                ++i;
            continue;
        }
        ours.append(argument);
    }
    return ours;
}

// Loads the keyed texts of the system's language. The stored choice is not
// read: the store may be large, in use, or not a file at all.
void useSystemLanguage()
{
    const bool french = Localization::prefersFrench(QVariant(), QLocale::system().uiLanguages());
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

QStringList argumentsOf(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

Request read(const QStringList &allArguments)
{
    const QStringList arguments = withoutQtOptions(allArguments);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help"),
                                              QStringLiteral("help-all")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption toggle(QStringLiteral("toggle"));
    parser.addOptions({help, version, toggle});
    if (!parser.parse(arguments)) {
        useSystemLanguage();
        printErrorText(parseError(parser, arguments));
        return {1};
    }
    if (parser.isSet(help)) {
        useSystemLanguage();
        printHelp();
        return {0};
    }
    if (parser.isSet(version)) {
        printLine(QLatin1String(programName) + QLatin1Char(' ') + QStringLiteral(BRIMBLE_VERSION));
        return {0};
    }
    return {std::nullopt, parser.isSet(toggle)};
}

void printError(const char *key, const QString &first, const QString &second)
{
    // At quit the interface's table is loaded already; before the start it
    // is not.
    if (LocalizedText(key).isEmpty())
        useSystemLanguage();
    const QString text = LocalizedText(key);
    printErrorText(first.isEmpty() ? text : second.isEmpty() ? text.arg(first) : text.arg(first, second));
}

} // namespace CommandLine
