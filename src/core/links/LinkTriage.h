// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

namespace quillet::links {

// How the checker goes about one link before any request is made.
struct Triage
{
    enum Kind
    {
        Web, // http or https: asked over the network (`url`)
        Skip, // not checked (`reason`)
        FileFound, // a file:// link whose file exists
        FileMissing, // a file:// link whose file does not exist (`reason`)
        Invalid // not a link at all (`reason`)
    };
    Kind kind = Skip;
    QUrl url;
    QString reason;
};

// A link without a scheme ("www.site.test/page") is checked as the browser
// opens it, with "http://" in front. Blanks around the link do not count.
Triage triageLink(const QString &link);

// Host and port of a web link: the checker's unit of politeness.
QString serverOf(const QUrl &url);

} // namespace quillet::links
