#pragma once

#include "browser/HeadingTreeModel.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressView.h"
#include "store/Document.h"

#include <QObject>

namespace quillet::shell {

// Everything one running Quillet works on: the open document, its heading
// tree, and the desktop services the commands talk through. Windows show it;
// tests drive it without them.
class Workspace : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        platform::MessageBoxes *messages = nullptr;
        platform::StatusView *status = nullptr;
        platform::ProgressView *progress = nullptr;  // the status bar's bar
    };

    explicit Workspace(Services services, QObject *parent = nullptr);
    ~Workspace() override;

    store::Document &document() { return m_document; }
    browser::HeadingTreeModel &tree() { return m_tree; }
    const Services &services() const { return m_services; }

    void setStatus(const QString &text);
    void showIdleStatus();

    // A fresh untitled document with only the root heading.
    void newDocument(bool showNewMarker);

private:
    Services m_services;
    store::Document m_document;
    browser::HeadingTreeModel m_tree;
};

}  // namespace quillet::shell
