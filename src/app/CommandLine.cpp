#include "app/CommandLine.h"

#include "app/ScriptCommands.h"
#include "platform/StandardOutput.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

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
    {"display", true},       {"dograb", false},      {"geometry", true},      {"icon", true},
    {"name", true},          {"nograb", false},      {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},       {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"qwindowicon", true},   {"qwindowtitle", true}, {"reverse", false},      {"session", true},
    {"style", true},         {"stylesheet", true},   {"sync", false},         {"testability", false},
    {"title", true},         {"widgetcount", false},
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

void printHelp()
{
    // The names of options with a value are keyed too: the value's name is
    // in the reader's language.
    const struct
    {
        const char *names;
        std::optional<TextKey> namesKey;
        TextKey key;
    } options[] = {
        {"-h, --help", std::nullopt, Text::helpOption},      {"-v, --version", std::nullopt, Text::versionOption},
        {"--toggle", std::nullopt, Text::toggleOption},      {"--background", std::nullopt, Text::backgroundOption},
        {nullptr, Text::addOptionSyntax, Text::addOption},   {nullptr, Text::groupOptionSyntax, Text::groupOption},
        {"--list", std::nullopt, Text::listOption},          {"--json", std::nullopt, Text::jsonOption},
        {nullptr, Text::openOptionSyntax, Text::openOption},
    };
    const auto namesOf = [](const auto &option) {
        return option.names ? QString::fromLatin1(option.names) : LocalizedText(*option.namesKey);
    };
    qsizetype width = 0;
    for (const auto &option : options)
        width = qMax(width, namesOf(option).size());
    printLine(LocalizedText(Text::usage).arg(QLatin1String(programName)));
    printLine(LocalizedText(Text::commandLineSummary));
    printLine(QString());
    printLine(LocalizedText(Text::options));
    for (const auto &option : options)
        printLine(QStringLiteral("  ") + namesOf(option).leftJustified(width + 2) + LocalizedText(option.key));
}

// The options that take a value, by their names.
const QStringList valueOptions{QStringLiteral("group"), QStringLiteral("open")};

// The error of arguments the parser refused, as the user typed them.
QString parseError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString &name = unknown.first();
        return LocalizedText(Text::unknownOption)
            .arg((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    }
    // Else an option with a value lacks it, or one without has one
    // (--option=value).
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1String("--")))
            continue;
        const QString name = argument.mid(2).section(QLatin1Char('='), 0, 0);
        if (valueOptions.contains(name) && !argument.contains(QLatin1Char('=')) && i + 1 == arguments.size())
            return LocalizedText(Text::optionNeedsValue).arg(argument);
        if (!valueOptions.contains(name) && argument.contains(QLatin1Char('=')))
            return LocalizedText(Text::optionTakesNoValue).arg(argument.section(QLatin1Char('='), 0, 0));
    }
    return parser.errorText();
}

// A command's target as the running Brimble or this process takes it: web
// addresses and other addresses as they are, local file addresses and
// relative paths as absolute paths in the working folder.
QString resolvedTarget(const QString &argument)
{
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : argument;
    }
    // "notes:2024" is a file's name when a file is called so; "ftp://…" is an address.
    if (ScriptCommands::hasScheme(argument) && !QFileInfo::exists(argument))
        return argument;
    return QDir::cleanPath(QDir::current().absoluteFilePath(argument));
}

CommandLine::Request refused(TextKey key, const QString &argument = {})
{
    useSystemLanguage();
    const QString text = LocalizedText(key);
    CommandLine::printErrorText(argument.isEmpty() ? text : text.arg(argument));
    return {1};
}

// What the user typed after reading the options: the command, or a refusal.
CommandLine::Request commandOf(const QCommandLineParser &parser, const QStringList &undecodable,
                               const QCommandLineOption &add, const QCommandLineOption &list,
                               const QCommandLineOption &open, const QCommandLineOption &group,
                               const QCommandLineOption &json)
{
    const QStringList positional = parser.positionalArguments();
    // Paths, a group's name or a query that are not text would be stored or
    // searched as another text.
    QStringList given = positional;
    for (const QCommandLineOption *option : {&group, &open})
        given += parser.values(*option);
    for (const QString &value : std::as_const(given)) {
        if (undecodable.contains(value))
            return refused(Text::argumentNotText, value);
    }
    if (parser.isSet(group) && !parser.isSet(add) && !parser.isSet(list))
        return refused(Text::groupOptionMisplaced);
    if (parser.isSet(json) && !parser.isSet(list))
        return refused(Text::jsonOptionMisplaced);
    if (!parser.isSet(add) && !positional.isEmpty())
        return refused(Text::unexpectedArgument, positional.constFirst());

    InstanceRequest command;
    command.group = parser.value(group);
    if (parser.isSet(add)) {
        if (positional.isEmpty())
            return refused(Text::addNeedsTargets);
        command.kind = InstanceRequest::Kind::add;
        for (const QString &argument : positional)
            command.targets.append(resolvedTarget(argument));
    } else if (parser.isSet(list)) {
        command.kind = InstanceRequest::Kind::list;
        command.json = parser.isSet(json);
    } else if (parser.isSet(open)) {
        command.kind = InstanceRequest::Kind::open;
        command.query = parser.value(open);
    } else {
        return {};
    }
    return {std::nullopt, false, false, command};
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

QStringList undecodableArgumentsOf(int argc, const char *const *argv)
{
    QStringList undecodable;
    for (int i = 0; i < argc; ++i) {
        const QString text = QString::fromLocal8Bit(argv[i]);
        if (text.toLocal8Bit() != QByteArrayView(argv[i]))
            undecodable.append(text);
    }
    return undecodable;
}

Request read(const QStringList &allArguments, const QStringList &undecodable)
{
    const QStringList arguments = withoutQtOptions(allArguments);
    QCommandLineParser parser;
    const QCommandLineOption help(
        QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help"), QStringLiteral("help-all")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption toggle(QStringLiteral("toggle"));
    const QCommandLineOption background(QStringLiteral("background"));
    const QCommandLineOption add(QStringLiteral("add"));
    const QCommandLineOption list(QStringLiteral("list"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption group(QStringLiteral("group"), QString(), QStringLiteral("name"));
    const QCommandLineOption open(QStringLiteral("open"), QString(), QStringLiteral("query"));
    parser.addOptions({help, version, toggle, background, add, list, json, group, open});
    if (!parser.parse(arguments)) {
        useSystemLanguage();
        CommandLine::printErrorText(parseError(parser, arguments));
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
    int ways = 0;
    for (const QCommandLineOption *option : {&toggle, &background, &add, &list, &open})
        ways += parser.isSet(*option) ? 1 : 0;
    if (ways > 1)
        return refused(Text::oneCommandOnly);
    Request request = commandOf(parser, undecodable, add, list, open, group, json);
    request.toggle = parser.isSet(toggle);
    request.background = parser.isSet(background);
    return request;
}

void printErrorText(const QString &text)
{
    const QByteArray line = QByteArray(programName) + ": " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

void printError(TextKey key, const QString &first, const QString &second)
{
    // At quit the interface's table is loaded already; before the start it
    // is not.
    if (LocalizedText(key).isEmpty())
        useSystemLanguage();
    const QString text = LocalizedText(key);
    CommandLine::printErrorText(first.isEmpty() ? text : second.isEmpty() ? text.arg(first) : text.arg(first, second));
}

} // namespace CommandLine
