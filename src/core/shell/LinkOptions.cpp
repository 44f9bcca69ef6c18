// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/LinkOptions.h"

#include <QCommandLineParser>
#include <QUrl>
#include <cstring>

namespace quillet::shell {

namespace {

const QString kAdd = QStringLiteral("add");
const QString kTitle = QStringLiteral("title");
const QString kHeading = QStringLiteral("heading");

bool isQuilletLink(const QString &argument)
{
    return argument.startsWith(QLatin1String("quillet:"), Qt::CaseInsensitive);
}

} // namespace

void addLinkOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(kAdd,
        QStringLiteral("Add a bookmark for URL: to the running Quillet of this home, or to the "
                       "start-up document of a new one."),
        QStringLiteral("URL")));
    parser.addOption(QCommandLineOption(kTitle,
        QStringLiteral("The bookmark's name (with --add); else the page's title, read in the "
                       "background."),
        QStringLiteral("TEXT")));
    parser.addOption(QCommandLineOption(kHeading,
        QStringLiteral("The heading to add to (with --add), as titles joined by \"/\"; else the "
                       "selected heading."),
        QStringLiteral("PATH")));
}

LinkArguments linkArguments(const QCommandLineParser &parser)
{
    LinkArguments out;
    QStringList links;
    for (const QString &argument : parser.positionalArguments()) {
        if (isQuilletLink(argument))
            links << argument;
        else if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            out.documentArguments << QUrl(argument).toLocalFile();
        else
            out.documentArguments << argument;
    }
    const bool add = parser.isSet(kAdd);
    if (links.size() + (add ? 1 : 0) > 1) {
        out.error = QStringLiteral("Give one link to add at a time.");
        return out;
    }
    if (!add && (parser.isSet(kTitle) || parser.isSet(kHeading))) {
        out.error = QStringLiteral("--title and --heading go with --add.");
        return out;
    }
    if (add) {
        out.request = AddRequest {parser.value(kAdd), parser.value(kTitle), parser.value(kHeading)};
    } else if (!links.isEmpty()) {
        out.request = parseQuilletLink(links.first(), &out.error);
    }
    return out;
}

std::vector<char *> withoutLinkArguments(int argc, char **argv)
{
    std::vector<char *> kept;
    for (int i = 0; i < argc; ++i) {
        const char *a = argv[i];
        if (i > 0) {
            if (std::strncmp(a, "quillet:", 8) == 0 || std::strncmp(a, "QUILLET:", 8) == 0)
                continue;
            const char *name = a[0] == '-' ? (a[1] == '-' ? a + 2 : a + 1) : nullptr;
            if (name) {
                bool matched = false;
                for (const char *option : {"add", "title", "heading"}) {
                    const size_t n = std::strlen(option);
                    if (std::strncmp(name, option, n) == 0 && name[n] == '=')
                        matched = true;
                    else if (std::strcmp(name, option) == 0) {
                        matched = true;
                        ++i; // its value
                    }
                }
                if (matched)
                    continue;
            }
        }
        kept.push_back(argv[i]);
    }
    kept.push_back(nullptr);
    return kept;
}

} // namespace quillet::shell
