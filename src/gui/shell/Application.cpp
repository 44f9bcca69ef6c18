#include "shell/Application.h"

#include "platform/AppHome.h"
#include "platform/ImageCodecs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtProgressView.h"
#include "platform/SingleInstance.h"
#include "shell/MainWindow.h"
#include "shell/SplashWindow.h"
#include "shell/Strings.h"
#include "shell/TerminationSignal.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace quillet::shell {

namespace {

bool hasDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int runApplication(int argc, char **argv)
{
    if (!hasDisplay()) {
        std::fputs(
            "Quillet needs a graphical display: set DISPLAY (or use --offscreen).\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(strings::kTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(strings::kVersion));

    platform::SingleInstance instance;
    if (!instance.isFirst()) {
        if (instance.heldByAnother())
            return 0; // another Quillet already works on this home
        platform::QtMessageBoxes boxes(nullptr);
        static_cast<platform::MessageBoxes &>(boxes).show(
            QStringLiteral("Quillet can not write to its folder \"%1\".").arg(platform::appHome()),
            platform::MessageIcon::Critical);
        return 1;
    }

    // The operating system's close request takes the close box's path; one
    // that comes during start-up is honoured once the window is up.
    MainWindow *mainWindow = nullptr;
    bool closeRequested = false;
    TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::closeRequested, [&] {
        if (mainWindow)
            mainWindow->close();
        else
            closeRequested = true;
    });

    SplashWindow splash;
    splash.show();
    platform::yieldToEventLoop();

    if (!platform::missingImageCodecs().isEmpty()) {
        platform::yieldToEventLoop();
        platform::QtMessageBoxes boxes(nullptr);
        static_cast<platform::MessageBoxes &>(boxes).show(
            QString::fromLatin1(strings::kCodecError), platform::MessageIcon::Critical);
        return 1;
    }

    MainWindow window;
    splash.setStep(QString::fromLatin1(strings::kStepCreatingWindow));
    platform::yieldToEventLoop();
    splash.setStep(QString::fromLatin1(strings::kStepLoadingFile));
    platform::QtProgressView splashProgress(splash.progressBar());
    if (!window.loadStartupDocument(QApplication::arguments(), &splashProgress))
        return 1; // nowhere to keep a document; the message said why
    splash.close();
    platform::yieldToEventLoop();
    window.show();

    // QUILLET_SCREENSHOT=<png file>: picture of the main window once it is up,
    // then an ordinary close (scripts/screenshot.sh).
    const QString screenshot = qEnvironmentVariable("QUILLET_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &window, [&window, screenshot] {
            if (!window.grab().save(screenshot))
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(screenshot));
            window.close();
        });
    }

    mainWindow = &window;
    if (closeRequested)
        QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
    const int code = app.exec();
    mainWindow = nullptr;
    return code;
}

} // namespace quillet::shell
