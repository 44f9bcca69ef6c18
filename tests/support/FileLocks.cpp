// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLocks.h"

#include "core/store/DocumentHold.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quillet::test {

FileLocks locksOn(const QString &path)
{
    FileLocks locks;
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return locks;
    const QByteArray file = QByteArray::number(major(st.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(minor(st.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(static_cast<qulonglong>(st.st_ino));
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    QFile table(QStringLiteral("/proc/locks"));
    if (!table.open(QIODevice::ReadOnly))
        return locks;
    // "1: OFDLCK ADVISORY WRITE -1 08:01:1234 1073742848 1073742848"
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 8 || f.at(1) == "->" || f.at(5) != file)
            continue;
        if (f.at(1) == "OFDLCK" && f.at(6).toLongLong() == store::DocumentHold::kByte)
            ++locks.holds;
        else if (f.at(1) == "POSIX" && f.at(4) == self)
            ++locks.engineLocksHere;
    }
    return locks;
}

int secondProcessLists(const QString &cli, const QString &path)
{
    QProcess process;
    process.start(cli, {QStringLiteral("list"), path});
    if (!process.waitForFinished(60000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace quillet::test
