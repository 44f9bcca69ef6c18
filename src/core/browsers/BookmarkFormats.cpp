// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/browsers/BookmarkFormats.h"

#include "core/browsers/BookmarkFileReading.h"
#include "core/browsers/BookmarkHtml.h"
#include "core/browsers/ChromiumBookmarks.h"
#include "core/browsers/FirefoxPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet::browsers {

namespace {

constexpr ProfilePlace kFirefoxPlaces[] = {
    {"Firefox", ".mozilla/firefox", "places.sqlite"},
    {"Firefox", "snap/firefox/common/.mozilla/firefox", "places.sqlite"},
    {"Firefox", ".var/app/org.mozilla.firefox/.mozilla/firefox", "places.sqlite"},
};

constexpr ProfilePlace kChromiumPlaces[] = {
    {"Chromium", ".config/chromium", "Bookmarks"},
    {"Chromium", "snap/chromium/common/chromium", "Bookmarks"},
    {"Chromium", ".var/app/org.chromium.Chromium/config/chromium", "Bookmarks"},
    {"Chrome", ".config/google-chrome", "Bookmarks"},
    {"Chrome", ".var/app/com.google.Chrome/config/google-chrome", "Bookmarks"},
};

// A new format is a reader file and a row here; the first row is what a
// chosen file no format recognises is read as.
constexpr BookmarkFormat kFormats[] = {
    {"html", "bookmark HTML file", "Bookmark HTML file...",
        "Bookmark HTML file(*.html;*.htm)|*.html;*.htm|All files(*.*)|*|", looksLikeBookmarkHtml,
        readBookmarkHtmlFile, {}, true},
    {"firefox", "Firefox places.sqlite", "Firefox places.sqlite file...",
        "Firefox bookmarks(places.sqlite)|places.sqlite|All files(*.*)|*|", looksLikeFirefoxPlaces,
        readFirefoxPlaces, kFirefoxPlaces, false},
    {"chromium", "Chromium or Chrome Bookmarks file", "Chromium or Chrome Bookmarks file...",
        "Chromium or Chrome bookmarks(Bookmarks)|Bookmarks|All files(*.*)|*|",
        looksLikeChromiumBookmarks, readChromiumBookmarksFile, kChromiumPlaces, false},
};

} // namespace

std::span<const BookmarkFormat> bookmarkFormats()
{
    return kFormats;
}

const BookmarkFormat *bookmarkFormat(QByteArrayView id)
{
    for (const BookmarkFormat &format : kFormats)
        if (id == QByteArrayView(format.id))
            return &format;
    return nullptr;
}

const BookmarkFormat &exportFormat()
{
    for (const BookmarkFormat &format : kFormats)
        if (format.exports)
            return format;
    return kFormats[0];
}

const BookmarkFormat *sniffBookmarkFormat(const QString &path, QString *error)
{
    QFile file(path);
    if (const QString unreadable = openToRead(file); !unreadable.isEmpty()) {
        if (error)
            *error = unreadable;
        return nullptr;
    }
    const QByteArray start = file.read(kSniffBytes);
    for (const BookmarkFormat &format : kFormats)
        if (format.recognises(start))
            return &format;
    return nullptr;
}

const BookmarkFormat &guessBookmarkFormat(const QString &path)
{
    const BookmarkFormat *format = sniffBookmarkFormat(path);
    return format ? *format : kFormats[0];
}

QList<BookmarkSource> findBrowserProfiles(const QString &home)
{
    QList<BookmarkSource> found;
    for (const BookmarkFormat &format : kFormats) {
        for (const ProfilePlace &place : format.profiles) {
            const QDir folder(home + QLatin1Char('/') + QLatin1String(place.folder));
            const QStringList profiles
                = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
            for (const QString &profile : profiles) {
                const QString path = folder.filePath(profile + QLatin1Char('/') + place.file);
                if (QFileInfo(path).isFile())
                    found.append({&format,
                        QLatin1String(place.browser) + QStringLiteral(" - ") + profile, path});
            }
        }
    }
    return found;
}

ImportResult importBookmarks(store::Database &db, outline::HeadingTreeModel &tree,
    outline::HeadingNode *parent, const BookmarkFormat &format, const QString &path,
    common::ProgressView *progress)
{
    return importIntoHeading(db, tree, parent, format.read(path), progress);
}

} // namespace quillet::browsers
