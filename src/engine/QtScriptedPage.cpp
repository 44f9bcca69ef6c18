// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/QtScriptedPage.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace quillet::platform {

QtScriptedPage::QtScriptedPage(QWidget *parent)
    : m_view(new QWebEngineView(parent))
{
    m_view->setObjectName(QStringLiteral("webUpdate"));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (m_finished)
            m_finished(ok);
    });
}

QtScriptedPage::~QtScriptedPage()
{
    delete m_view;
}

QWidget *QtScriptedPage::view() const
{
    return m_view;
}

void QtScriptedPage::load(const QUrl &url, std::function<void(bool loaded)> finished)
{
    m_finished = std::move(finished);
    if (m_view)
        m_view->load(url);
}

void QtScriptedPage::stop()
{
    if (m_view)
        m_view->stop();
}

void QtScriptedPage::runScript(const QString &script, std::function<void(const QVariant &)> done)
{
    if (!m_view)
        return;
    // The page may answer after this object (and its window) are gone.
    QPointer<QtScriptedPage> self(this);
    m_view->page()->runJavaScript(
        script, QWebEngineScript::MainWorld, [self, done = std::move(done)](const QVariant &value) {
            if (self)
                done(value);
        });
}

} // namespace quillet::platform
