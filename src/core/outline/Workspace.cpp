// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/outline/Workspace.h"

#include "core/common/AppHome.h"
#include "core/common/Strings.h"

namespace quillet::outline {

Workspace::Workspace(Services services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_document(QLatin1String(strings::kTitle))
    , m_list(BookmarkList::Services {&m_document, &m_clipboard, services.description,
          services.desktop, services.progress, services.status,
          [this] { return m_options.imageFolder; }, &m_history})
    , m_history(m_document, m_tree, m_list)
{
    m_options.imageFolder = defaultImageFolder();
}

Workspace::~Workspace() = default;

void Workspace::loadSettings()
{
    // Nothing cut or copied survives into a new run's first document.
    m_clipboard.clear();
    m_window = loadWindowSettings();
    m_options = loadOptionSettings();
}

bool Workspace::saveSettings()
{
    const bool window = saveWindowSettings(m_window);
    const bool options = saveOptionSettings(m_options);
    if (window && options)
        return true;
    // A full disk or a read-only home must not lose the layout unnoticed.
    message(QStringLiteral("Can not save the settings in ") + QLatin1Char('"') + common::appHome()
            + QStringLiteral("\". The window layout and options of this session are lost."),
        platform::MessageIcon::Exclamation);
    return false;
}

void Workspace::setStatus(const QString &text)
{
    if (m_services.status)
        m_services.status->setStatusText(text);
}

void Workspace::showIdleStatus()
{
    setStatus(QString::fromLatin1(strings::kStatusIdle));
}

platform::MessageAnswer Workspace::message(const QString &text, platform::MessageIcon icon,
    platform::MessageButtons buttons, const QString &title)
{
    if (!m_services.messages)
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::Cancel;
    return m_services.messages->show(text, icon, buttons, title);
}

platform::MessageAnswer Workspace::messageAfterRepaint(const QString &text,
    platform::MessageIcon icon, platform::MessageButtons buttons, const QString &title)
{
    common::yieldToEventLoop();
    return message(text, icon, buttons, title);
}

void Workspace::selectHeading(HeadingNode *node)
{
    m_tree.setCurrent(node);
    if (!node || node->key == m_list.listedHeading())
        return;
    m_list.refill(node->key, m_document.database());
}

void Workspace::clearHeadingTree()
{
    m_list.clear();
    m_list.setListedHeading(QString());
    m_tree.clear();
}

} // namespace quillet::outline
