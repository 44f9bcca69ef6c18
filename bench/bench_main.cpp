// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>

int holdDocument(int argc, char **argv);

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The browser engine plugin of this build tree.
    if (!qEnvironmentVariableIsSet("QUILLET_ENGINE_PLUGIN"))
        qputenv("QUILLET_ENGINE_PLUGIN", QUILLET_ENGINE_PLUGIN);
    QTemporaryDir home;
    qputenv("QUILLET_HOME", home.path().toUtf8());
    if (argc == 3 && std::strcmp(argv[1], "--hold-document") == 0)
        return holdDocument(argc, argv);
    // Widgets and the web view (description pane) need a full application;
    // the web engine's sandbox cannot run as root.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
