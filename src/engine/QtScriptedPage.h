// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/platform/BrowserEngine.h"

#include <QObject>
#include <QPointer>

class QWebEngineView;

namespace quillet::platform {

// webUpdate: a plain browser view for one page of the vendor's site.
class QtScriptedPage : public QObject, public ScriptedPageView
{
    Q_OBJECT
public:
    explicit QtScriptedPage(QWidget *parent);
    ~QtScriptedPage() override;

    QWidget *view() const override;
    void load(const QUrl &url, std::function<void(bool loaded)> finished) override;
    void stop() override;
    void runScript(const QString &script, std::function<void(const QVariant &)> done) override;

private:
    QPointer<QWebEngineView> m_view;
    std::function<void(bool)> m_finished;
};

} // namespace quillet::platform
