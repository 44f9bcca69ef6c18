// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/PageResources.h"
#include "core/store/BookmarkRow.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace quillet::pages {

// The pane's work folder in the application home: the style sheet, the
// pictures and the current thumbnail ("image1.jpg" or "image2.jpg").
QString htmlFolder();

// A link as the pages show it: "http://" in front only when it has no
// scheme at all ("file:///x", "ftp://x" and "mailto:x" stay as they are,
// "host:8080/x" is a host with a port); an empty link stays empty.
QString completeLink(const QString &link);

// The pane's page: template 1002 with &imgPath&, &urlName&, &urlLink& and
// &urlDescrip& replaced one after another over the whole text, then
// &imgFile&. Values are inserted as they are (a description may hold
// markup), so a placeholder inside a value is replaced by the later steps.
// `pageTemplate` may be another template with the same placeholders.
QString descriptionPageText(const QString &folder, const store::BookmarkRow &row,
    const QString &imageFile, Resource pageTemplate = Resource::DescriptionTemplate);

// ShowDescription up to the view: makes the html folder and its missing
// assets, writes the thumbnail (alternating between image1.jpg and
// image2.jpg, so a view never shows a stale file of the same name) and fills
// the page. Lets pending events run where the pane always did; a refresh or
// blank started meanwhile takes over, and this one then gives up.
class DescriptionPageWriter
{
public:
    using Yield = std::function<void()>;

    // `folder` empty: htmlFolder() at every refresh.
    explicit DescriptionPageWriter(Yield yield = {}, QString folder = QString());

    // The page to show, or nothing when a step failed (silently) or a later
    // refresh took over.
    std::optional<QString> preparePage(const store::BookmarkRow &row);

    // A blank page replaces any refresh still waiting.
    void supersede() { ++m_refresh; }

    QString folder() const;
    // The template the pages are filled from; template 1002 unless set.
    void setPageTemplate(Resource pageTemplate) { m_template = pageTemplate; }
    // True when the next thumbnail is written as image1.jpg.
    bool nextThumbnailIsFirst() const { return m_thumbnailToggle; }

private:
    // Lets events run; false when another refresh began meanwhile.
    bool yieldStillCurrent(quint64 refresh);

    Yield m_yield;
    QString m_folder;
    Resource m_template = Resource::DescriptionTemplate;
    bool m_thumbnailToggle = false;
    quint64 m_refresh = 0;
};

// What the pane's page may load: its own page (data:, about:blank) and files
// inside the html folder. Nothing remote, nothing else on the disk.
bool paneMayLoad(const QUrl &url, const QString &folder);

// A link clicked in the pane that is handed to the user's browser.
bool paneLinkOpensInBrowser(const QUrl &url);

} // namespace quillet::pages
