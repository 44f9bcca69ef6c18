// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/ProgramOptions.h"

#include "core/common/Strings.h"
#include "core/shell/LinkOptions.h"

#include <QCommandLineParser>

namespace quillet::shell {

namespace {

const QString kProgram = QStringLiteral("quillet");

// QGuiApplication's own options, taken from the command line by Qt itself;
// listed so they are not refused as unknown, and hidden from --help.
struct QtOption
{
    const char *name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"session", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
};

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Quillet keeps web links in a tree of headings, in one password-protected\n"
                       "document (.rdb). Without FILE it starts with the document chosen in\n"
                       "Tools > Options (an untitled one by default)."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(
        {QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Show the version and exit.")));
    for (const QtOption &qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    addLinkOptions(parser);
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("The document to open (.rdb), or a quillet:add?url=...&title=... link "
                       "as the desktop's handler passes it."),
        QStringLiteral("[file]"));
}

} // namespace

ProgramOptions parseProgramOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);
    ProgramOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    options.help = parser.isSet(QStringLiteral("help"));
    options.version = parser.isSet(QStringLiteral("version"));
    LinkArguments links = linkArguments(parser);
    options.error = links.error;
    options.add = std::move(links.request);
    options.documentArguments = links.documentArguments;
    return options;
}

QString programHelpText()
{
    QCommandLineParser parser;
    describe(parser);
    // The usage line names the program as it is installed, not as the
    // parser guesses it (argv[0], or a placeholder before the application
    // object exists).
    QString text = parser.helpText();
    const qsizetype endOfUsage = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: %1 [options] [file]").arg(kProgram) + text.mid(endOfUsage);
}

QString programVersionText()
{
    return kProgram + QLatin1Char(' ') + QString::fromLatin1(strings::kVersion);
}

} // namespace quillet::shell
