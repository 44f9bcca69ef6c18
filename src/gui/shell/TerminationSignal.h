// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillet::shell {

// Turns SIGTERM (and SIGINT, SIGHUP) into a Qt signal on the event loop, so
// the operating system's close request takes the same path as the close box.
class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

Q_SIGNALS:
    void closeRequested();

private:
    static void handle(int signal);
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace quillet::shell
