// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the small sample document shown in docs/screenshot.png.
// Built and run by scripts/screenshot.sh against the core library.
#include "core/store/Database.h"
#include "core/store/Recordset.h"
#include "core/store/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

using namespace quillet;

namespace {

struct Heading
{
    const char *parent;
    const char *title;
    const char *key;
};

struct Bookmark
{
    const char *heading;
    const char *key;
    const char *name;
    const char *link;
    const char *date;
    const char *description;
};

const Heading kHeadings[] = {
    {"0", "My Bookmarks", "kRoot"},
    {"kRoot", "Reading", "K101"},
    {"K101", "News", "K102"},
    {"K101", "Blogs", "K103"},
    {"kRoot", "Development", "K201"},
    {"K201", "Qt", "K202"},
    {"K201", "Databases", "K203"},
    {"kRoot", "Kitchen", "K301"},
    {"kRoot", "Travel", "K401"},
};

const Bookmark kBookmarks[] = {
    {"kRoot", "K1", "Project home page", "https://quillet.example.org/", "2024-03-14",
        "Release notes, downloads and the issue tracker."},
    {"kRoot", "K2", "Web mail", "https://mail.example.com/", "2024-02-02", ""},
    {"kRoot", "K3", "Weather forecast", "https://weather.example.net/city/berlin", "2024-01-21",
        "Five-day forecast with radar pictures."},
    {"kRoot", "K4", "Public library catalogue", "https://library.example.org/catalogue",
        "2023-11-30", "Renew loans before the 15th."},
    {"kRoot", "K5", "Train timetable", "https://trains.example.com/timetable", "2023-10-08", ""},
    {"kRoot", "K6", "Online dictionary", "https://dictionary.example.org/", "2023-09-17",
        "Pronunciation and usage examples."},
    {"K102", "K1", "Morning briefing", "https://news.example.com/briefing", "2024-03-01", ""},
    {"K202", "K1", "Qt documentation", "https://doc.example.org/qt-6/", "2024-02-10",
        "Class reference and examples."},
    {"K203", "K1", "SQL tutorial", "https://sql.example.org/tutorial", "2023-12-04", ""},
    {"K301", "K1", "Sourdough bread", "https://recipes.example.com/sourdough", "2024-01-05",
        "Starter at 24 degrees, 12 hours."},
};

QString text(const char *value)
{
    return QString::fromUtf8(value);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sample_document FILE.rdb\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    try {
        QFile::remove(path);
        store::createEmptyDatabase(path);
        auto db = store::openDocumentDatabase(path);
        store::Transaction transaction(*db);
        auto nodes = db->openRecordset(QStringLiteral("tbNodes"));
        for (const Heading &h : kHeadings) {
            nodes->addNew();
            nodes->setValue(QStringLiteral("Parent"), text(h.parent));
            nodes->setValue(QStringLiteral("Title"), text(h.title));
            nodes->setValue(QStringLiteral("Key"), text(h.key));
            nodes->setValue(QStringLiteral("Image"), 1);
            nodes->setValue(QStringLiteral("expImage"), 2);
            nodes->update();
        }
        auto items = db->openRecordset(QStringLiteral("tbItems"));
        for (const Bookmark &b : kBookmarks) {
            items->addNew();
            items->setValue(QStringLiteral("tKey"), text(b.heading));
            items->setValue(QStringLiteral("lKey"), text(b.key));
            items->setValue(QStringLiteral("urlName"), text(b.name));
            items->setValue(QStringLiteral("urlLink"), text(b.link));
            items->setValue(QStringLiteral("urlDate"), text(b.date));
            items->setValue(QStringLiteral("urlDescrip"), text(b.description));
            items->setValue(QStringLiteral("imgFile"), QString());
            items->setValue(QStringLiteral("delFlag"), 0);
            items->update();
        }
        transaction.commit();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
