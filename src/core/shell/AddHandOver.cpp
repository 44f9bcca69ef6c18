// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/AddHandOver.h"

#include "core/platform/InstanceChannel.h"
#include "core/platform/SingleInstance.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace quillet::shell {

namespace {

void say(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "quillet: %s\n", text.toLocal8Bit().constData());
}

} // namespace

std::optional<int> handAddRequestOver(
    const AddRequest &request, const platform::SingleInstance &lock)
{
    const QString problem = addRequestProblem(request);
    if (!problem.isEmpty()) {
        say(stderr, problem);
        return 2;
    }
    if (lock.isFirst())
        return std::nullopt;
    const QByteArray message = encodeAddRequest(request);
    QElapsedTimer clock;
    clock.start();
    // The running instance listens once its first document is open.
    while (clock.elapsed() < kHandOverWaitMs) {
        const int left = static_cast<int>(kHandOverWaitMs - clock.elapsed());
        if (const std::optional<QByteArray> reply
            = platform::sendToRunningInstance(message, std::max(left, 1))) {
            const AddOutcome outcome = decodeAddOutcome(*reply);
            say(outcome.added ? stdout : stderr, outcome.message);
            return outcome.added ? 0 : 1;
        }
        QThread::msleep(50);
    }
    say(stderr, QStringLiteral("The running Quillet did not answer; nothing was added."));
    return 1;
}

} // namespace quillet::shell
