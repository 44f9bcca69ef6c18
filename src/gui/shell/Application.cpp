// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/Application.h"

#include "core/common/AppHome.h"
#include "core/common/Strings.h"
#include "core/platform/ImageCodecs.h"
#include "core/platform/SingleInstance.h"
#include "core/shell/AddHandOver.h"
#include "core/shell/LinkOptions.h"
#include "core/shell/ProgramOptions.h"
#include "gui/platform/QtMessageBoxes.h"
#include "gui/platform/QtProgressView.h"
#include "gui/shell/LinkRequests.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/SplashWindow.h"
#include "gui/shell/TerminationSignal.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>

// Resources of a static library must be registered by hand, outside any
// namespace.
static void registerProgramIcon()
{
    Q_INIT_RESOURCE(app);
}

namespace quillet::shell {

namespace {

bool hasDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The icon of the installed theme, so the task bar matches the desktop entry;
// the one built in when the theme has none.
QIcon programIcon()
{
    registerProgramIcon();
    QIcon bundled;
    for (int size : {16, 32, 48, 64, 128, 256})
        bundled.addFile(QStringLiteral(":/app/quillet-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral(QUILLET_APP_ID), bundled);
}

QStringList rawArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void say(const AddOutcome &outcome)
{
    std::fprintf(outcome.added ? stdout : stderr, "quillet: %s\n",
        outcome.message.toLocal8Bit().constData());
    std::fflush(outcome.added ? stdout : stderr);
}

} // namespace

int runApplication(int argc, char **argv)
{
    // Read before anything needs a display, so --help and --version answer
    // on a bare terminal.
    const QStringList arguments = rawArguments(argc, argv);
    const ProgramOptions options = parseProgramOptions(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "quillet: %s\nTry 'quillet --help' for more information.\n",
            qPrintable(options.error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(programHelpText()), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(qPrintable(programVersionText() + QLatin1Char('\n')), stdout);
        return 0;
    }
    // A link for the running Quillet of this home is handed to it; this
    // process then ends without a window (and needs no display).
    platform::SingleInstance instance;
    if (options.add) {
        if (const std::optional<int> code = handAddRequestOver(*options.add, instance))
            return *code;
    }
    // Qt would take --title for its own.
    std::vector<char *> qtArguments = withoutLinkArguments(argc, argv);
    int qtArgc = static_cast<int>(qtArguments.size()) - 1;

    if (!hasDisplay()) {
        std::fputs(
            "Quillet needs a graphical display: set DISPLAY (or use --offscreen).\n", stderr);
        return 2;
    }
    QApplication app(qtArgc, qtArguments.data());
    QApplication::setApplicationName(QString::fromLatin1(strings::kTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(strings::kVersion));
    QApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
    QApplication::setWindowIcon(programIcon());

    if (!instance.isFirst()) {
        if (instance.heldByAnother())
            return 0; // another Quillet already works on this home
        platform::QtMessageBoxes boxes(nullptr);
        static_cast<platform::MessageBoxes &>(boxes).show(
            QStringLiteral("Quillet can not write to its folder \"%1\".").arg(common::appHome()),
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
    common::yieldToEventLoop();

    if (!platform::missingImageCodecs().isEmpty()) {
        common::yieldToEventLoop();
        platform::QtMessageBoxes boxes(nullptr);
        static_cast<platform::MessageBoxes &>(boxes).show(
            QString::fromLatin1(strings::kCodecError), platform::MessageIcon::Critical);
        return 1;
    }

    MainWindow window;
    splash.setStep(QString::fromLatin1(strings::kStepCreatingWindow));
    common::yieldToEventLoop();
    splash.setStep(QString::fromLatin1(strings::kStepLoadingFile));
    platform::QtProgressView splashProgress(splash.progressBar());
    // Qt has taken its own options; the document is what the options left.
    const QStringList startArguments = QStringList {arguments.value(0)} + options.documentArguments;
    if (!window.loadStartupDocument(startArguments, &splashProgress))
        return 1; // nowhere to keep a document; the message said why
    splash.close();
    common::yieldToEventLoop();
    window.show();
    if (!window.linkRequests().listen()) {
        std::fprintf(stderr, "quillet: links from other programs can not reach this window: %s\n",
            qPrintable(window.linkRequests().errorString()));
    }
    if (options.add)
        say(window.linkRequests().apply(*options.add));

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
