// SPDX-License-Identifier: GPL-3.0-or-later
// The plugin the program loads when a window first needs the browser
// engine; everything here links QtWebEngine, the program itself does not.
#include "engine/QtPageRenderer.h"
#include "engine/QtScriptedPage.h"
#include "gui/platform/BrowserEngine.h"

#include <QObject>

namespace quillet::platform {

class BrowserEnginePlugin : public QObject, public BrowserEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUILLET_BROWSER_ENGINE_IID)
    Q_INTERFACES(quillet::platform::BrowserEngine)
public:
    std::unique_ptr<PageRendererView> makePageRenderer(QWidget *parent) override
    {
        return std::make_unique<QtPageRenderer>(parent);
    }
    std::unique_ptr<ScriptedPageView> makeScriptedPage(QWidget *parent) override
    {
        return std::make_unique<QtScriptedPage>(parent);
    }
};

} // namespace quillet::platform

#include "BrowserEnginePlugin.moc"
