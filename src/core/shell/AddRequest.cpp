// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/AddRequest.h"

#include "core/outline/HeadingLookup.h"
#include "core/outline/LinkIntake.h"
#include "core/outline/LinkMimeData.h"
#include "core/outline/Workspace.h"

#include <QDataStream>
#include <QIODevice>
#include <QUrl>
#include <QUrlQuery>

namespace quillet::shell {

namespace {

constexpr quint32 kRequestMagic = 0x51414431; // "QAD1"

} // namespace

QString addRequestProblem(const AddRequest &request)
{
    const QString link = request.link.trimmed();
    if (link.isEmpty())
        return QStringLiteral("No link to add was given.");
    if (request.link.toUtf8().size() + request.title.toUtf8().size()
            + request.headingPath.toUtf8().size()
        > kMaxAddRequestBytes)
        return QStringLiteral("The link to add is too long (more than 64 KB with its title and "
                              "heading).");
    switch (outline::checkIncomingLink(link)) {
    case outline::LinkCheck::Refused:
        return QStringLiteral(
            "Quillet does not add javascript:, data: and file: links from other programs.");
    case outline::LinkCheck::NotALink:
        return QStringLiteral("\"%1\" is not a link Quillet can add.").arg(link.left(200));
    case outline::LinkCheck::Accepted:
        break;
    }
    return {};
}

std::optional<AddRequest> parseQuilletLink(const QString &text, QString *error)
{
    auto fail = [&](const QString &why) -> std::optional<AddRequest> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (text.toUtf8().size() > 3 * kMaxAddRequestBytes)
        return fail(QStringLiteral("The quillet: link is too long."));
    const QUrl url(text.trimmed(), QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("quillet"), Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("\"%1\" is not a quillet: link.").arg(text.left(200)));
    // "quillet:add?..." has "add" as its path, "quillet://add?..." as its host.
    QString command = url.host().isEmpty() ? url.path() : url.host() + url.path();
    while (command.endsWith(u'/'))
        command.chop(1);
    if (command.compare(QLatin1String("add"), Qt::CaseInsensitive) != 0)
        return fail(
            QStringLiteral("Quillet knows no quillet: command \"%1\".").arg(command.left(50)));
    const QUrlQuery query(url);
    AddRequest request;
    request.link = query.queryItemValue(QStringLiteral("url"), QUrl::FullyDecoded);
    request.title = query.queryItemValue(QStringLiteral("title"), QUrl::FullyDecoded);
    request.headingPath = query.queryItemValue(QStringLiteral("heading"), QUrl::FullyDecoded);
    return request;
}

QByteArray encodeAddRequest(const AddRequest &request)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kRequestMagic << request.link << request.title << request.headingPath;
    return bytes;
}

std::optional<AddRequest> decodeAddRequest(const QByteArray &bytes)
{
    if (bytes.size() > 4 * kMaxAddRequestBytes)
        return std::nullopt;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    AddRequest request;
    in >> magic >> request.link >> request.title >> request.headingPath;
    if (in.status() != QDataStream::Ok || magic != kRequestMagic || !in.atEnd())
        return std::nullopt;
    return request;
}

QByteArray encodeAddOutcome(const AddOutcome &outcome)
{
    return (outcome.added ? QByteArrayLiteral("added\n") : QByteArrayLiteral("refused\n"))
        + outcome.message.toUtf8();
}

AddOutcome decodeAddOutcome(const QByteArray &bytes)
{
    AddOutcome outcome;
    const qsizetype newline = bytes.indexOf('\n');
    outcome.added = newline >= 0 && bytes.left(newline) == "added";
    outcome.message = QString::fromUtf8(bytes.mid(newline + 1));
    return outcome;
}

AddOutcome applyAddRequest(outline::Workspace &ws, const AddRequest &request)
{
    AddOutcome outcome;
    outcome.message = addRequestProblem(request);
    const outline::HeadingNode *heading = nullptr;
    if (outcome.message.isEmpty()) {
        heading = request.headingPath.trimmed().isEmpty()
            ? ws.tree().current()
            : outline::findHeadingByPath(ws.tree(), request.headingPath);
        if (!heading && !request.headingPath.trimmed().isEmpty())
            outcome.message = QStringLiteral("There is no heading \"%1\".")
                                  .arg(request.headingPath.trimmed().left(200));
        else if (!heading || !ws.document().database())
            outcome.message = QStringLiteral("No document is open to add the link to.");
    }
    if (!outcome.message.isEmpty()) {
        ws.setStatus(QStringLiteral("Status: Idle - ") + outcome.message);
        return outcome;
    }
    outline::IncomingLinks links;
    links.links.append({request.link.trimmed(), request.title});
    const outline::LinkIntake intake = outline::takeLinks(ws, heading->key, links);
    outcome.added = !intake.added.isEmpty();
    outcome.message = outcome.added
        ? QStringLiteral("Added \"%1\" to \"%2\".").arg(intake.added.first().name, heading->title)
        : QStringLiteral("Nothing was added.");
    ws.setStatus(QStringLiteral("Status: Idle - ") + outcome.message);
    return outcome;
}

} // namespace quillet::shell
