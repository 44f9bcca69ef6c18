// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>

namespace quillet::pages {

// The page templates and the assets of the description pane and the help
// pages, built into the program. The numbers are the resource ids the pages
// are known by; the templates of the help pages have names instead.
enum class Resource
{
    NoImagePicture = 101, // noimagel.gif, 180 x 132
    ShimPicture = 102, // shim.gif, 1 x 1 spacer
    DottedRulePicture = 103, // single_dot_h.gif, 6 x 1
    BulletPicture = 104, // small_bullet.gif, 6 x 8
    StyleSheet = 105, // styles.css
    DescriptionTemplate = 1002, // the pane's page
    HelpPageHead, // "HTML01"
    HelpPageBlock, // "HTML02", one bookmark
    HelpPageTail, // "HTML03"
    DescriptionViewTemplate, // the pane's page in the terms of Qt's rich text
};

// The resource's bytes, unchanged (CR LF line ends and all).
QByteArray resourceBytes(Resource id);

// A template as text, ready for its placeholders.
QString resourceText(Resource id);

// WriteResourceFile: writes the resource's bytes to `path`, replacing the
// file. False on any failure; nothing is reported.
bool writeResourceFile(Resource id, const QString &path);

// A picture or style sheet a page refers to, by its file name.
struct PageAsset
{
    const char *name;
    Resource id;
};
// Writes each asset missing from `folder`, in the order given; one already
// there is never rewritten.
void writeMissingAssets(const QString &folder, std::initializer_list<PageAsset> assets);

// Writes `bytes` as the whole content of `path`; false when any of it could
// not be written.
bool writeFileBytes(const QString &path, const QByteArray &bytes);

} // namespace quillet::pages
