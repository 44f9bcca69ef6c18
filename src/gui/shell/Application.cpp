#include "shell/Application.h"

#include "platform/ImageCodecs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtProgressView.h"
#include "platform/SingleInstance.h"
#include "shell/MainWindow.h"
#include "shell/SplashWindow.h"
#include "shell/Strings.h"
#include "shell/TerminationSignal.h"

#include <QApplication>
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
    if (!instance.isFirst())
        return 0; // another Quillet already works on this home

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
    window.loadStartupDocument(QApplication::arguments(), &splashProgress);
    splash.close();
    platform::yieldToEventLoop();
    window.show();

    TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::closeRequested, &window, &QWidget::close);
    return app.exec();
}

} // namespace quillet::shell
