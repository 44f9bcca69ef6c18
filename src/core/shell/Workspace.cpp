#include "shell/Workspace.h"

#include "shell/Strings.h"

namespace quillet::shell {

Workspace::Workspace(Services services, QObject *parent)
    : QObject(parent), m_services(services)
{
}

Workspace::~Workspace() = default;

void Workspace::setStatus(const QString &text)
{
    if (m_services.status)
        m_services.status->setStatusText(text);
}

void Workspace::showIdleStatus()
{
    setStatus(QString::fromLatin1(strings::kStatusIdle));
}

void Workspace::newDocument(bool showNewMarker)
{
    m_document.createUntitled(showNewMarker);
    m_tree.addRootHeading();
}

}  // namespace quillet::shell
