// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <string>

// The offscreen application named `program` and one work folder for the
// whole fuzzing run, made on the first call: in memory where there is such a
// folder, since every run writes and syncs a few files. The application home
// is `home` inside it, or the folder itself when `home` is empty.
inline QTemporaryDir &fuzzFolder(const char *program, const QString &home = {})
{
    static std::unique_ptr<QTemporaryDir> dir = [&] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static std::string name = program;
        static char *argv[] = {name.data(), nullptr};
        new QGuiApplication(argc, argv);
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
        auto made = std::make_unique<QTemporaryDir>(base + QStringLiteral("/quillet-fuzz-XXXXXX"));
        qputenv("QUILLET_HOME", (home.isEmpty() ? made->path() : made->filePath(home)).toUtf8());
        return made;
    }();
    return *dir;
}

// Writes the fuzzer's bytes to `path`; a failed write stops the run.
inline void writeFuzzFile(const QString &path, QByteArrayView bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || out.write(bytes.data(), bytes.size()) != bytes.size())
        std::abort();
}
