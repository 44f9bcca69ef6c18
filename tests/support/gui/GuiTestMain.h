// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestHome.h"

#include <QApplication>
#include <QtTest>

// Like QTEST_MAIN, but the whole test binary runs in its own temporary
// application home and never on a real screen.
#define QUILLET_GUI_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))                                         \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                               \
        quillet::test::TestHome home;                                                              \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
