// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/BrowserEngineLoader.h"

#include "core/platform/MessageBoxes.h"
#include "gui/platform/BrowserEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QStringList>

// Qt's own browser engine sets the shared context with this when it starts
// after the application (QtGui exports it for that).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace quillet::platform {

namespace {

BrowserEngine *g_engine = nullptr;

// Where the plugin may be, in the order tried.
QStringList placesToLook()
{
    const QString chosen = qEnvironmentVariable("QUILLET_ENGINE_PLUGIN");
    if (!chosen.isEmpty())
        return {chosen};
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString file = QStringLiteral(QUILLET_ENGINE_FILE);
    return {programDir + QLatin1Char('/') + file,
        QDir::cleanPath(
            programDir + QStringLiteral("/" QUILLET_ENGINE_DIR_FROM_BINDIR "/") + file)};
}

// The engine draws its pages with OpenGL in contexts shared with the
// application's. Asked for before the application is made, that sharing
// would cost every start a context (with the OpenGL driver: about 150 ms
// and 35 MB on a software renderer); it is set up here instead, once, as
// the engine itself does when it is started after the application.
QOpenGLContext *g_sharedContext = nullptr;

void dropSharedContext()
{
    if (QOpenGLContext::globalShareContext() == g_sharedContext)
        qt_gl_set_global_share_context(nullptr);
    delete g_sharedContext;
    g_sharedContext = nullptr;
}

QtMessageHandler g_previousHandler = nullptr;

// Qt says the attribute comes late; it does so on purpose here.
void withoutLateAttributeWarning(
    QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.contains(QLatin1String("AA_ShareOpenGLContexts")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

void shareOpenGLContexts()
{
    if (QOpenGLContext::globalShareContext())
        return;
    g_sharedContext = new QOpenGLContext;
    g_sharedContext->create();
    qAddPostRoutine(dropSharedContext);
    qt_gl_set_global_share_context(g_sharedContext);
    g_previousHandler = qInstallMessageHandler(withoutLateAttributeWarning);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(g_previousHandler);
}

} // namespace

BrowserEngine *browserEngine(QString *why)
{
    if (g_engine)
        return g_engine;
    shareOpenGLContexts();
    QString failures;
    for (const QString &place : placesToLook()) {
        if (!QFileInfo::exists(place)) {
            failures += QStringLiteral("\n%1: not there").arg(place);
            continue;
        }
        // Kept to the end: the engine's threads and processes outlive any
        // one window.
        auto *loader = new QPluginLoader(place);
        QObject *instance = loader->instance();
        if (auto *engine = qobject_cast<BrowserEngine *>(instance)) {
            g_engine = engine;
            return g_engine;
        }
        failures += QStringLiteral("\n%1: %2")
                        .arg(place,
                            instance ? QStringLiteral("not Quillet's browser engine")
                                     : loader->errorString());
        if (!instance)
            delete loader;
    }
    if (why) {
        *why = QStringLiteral("Quillet can not show web pages: its browser engine could not be "
                              "loaded.%1")
                   .arg(failures);
    }
    return nullptr;
}

BrowserEngine *browserEngineOrSay(MessageBoxes *messages)
{
    QString why;
    BrowserEngine *engine = browserEngine(&why);
    if (!engine && messages)
        messages->show(why, MessageIcon::Critical);
    return engine;
}

bool browserEngineLoaded()
{
    return g_engine != nullptr;
}

} // namespace quillet::platform
