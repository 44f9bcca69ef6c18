// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform/PageRenderer.h"

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QtPlugin>
#include <functional>
#include <memory>

class QWidget;

namespace quillet::platform {

// A page renderer together with the view it draws in.
class PageRendererView : public PageRenderer
{
public:
    virtual QWidget *view() const = 0;
};

// A browser view that shows one page and runs scripts in it (the update
// check reads the published version out of the vendor's page).
class ScriptedPageView
{
public:
    virtual ~ScriptedPageView() = default;
    virtual QWidget *view() const = 0;
    // Loads `url`; `finished` is told whether the page loaded, after each
    // load of the view.
    virtual void load(const QUrl &url, std::function<void(bool loaded)> finished) = 0;
    virtual void stop() = 0;
    // Runs `script` in the page; `done` gets its value. Neither callback is
    // called once this object is gone.
    virtual void runScript(const QString &script, std::function<void(const QVariant &)> done) = 0;
};

// The browser engine makes the views that need a full browser. It lives in
// a plugin of its own, loaded when the first of those windows opens (see
// BrowserEngineLoader.h): linked into the program, its start-up and its
// helper processes would cost every start, and most runs never use it.
class BrowserEngine
{
public:
    virtual ~BrowserEngine() = default;
    // The views are children of `parent` and are deleted with the objects
    // returned.
    virtual std::unique_ptr<PageRendererView> makePageRenderer(QWidget *parent) = 0;
    virtual std::unique_ptr<ScriptedPageView> makeScriptedPage(QWidget *parent) = 0;
};

} // namespace quillet::platform

#define QUILLET_BROWSER_ENGINE_IID "org.example.quillet.BrowserEngine/1"
Q_DECLARE_INTERFACE(quillet::platform::BrowserEngine, QUILLET_BROWSER_ENGINE_IID)
