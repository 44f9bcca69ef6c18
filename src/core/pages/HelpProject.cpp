// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/HelpProject.h"

#include "core/common/AppHome.h"
#include "core/common/ProgressCounter.h"
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingWalk.h"
#include "core/pages/DescriptionPage.h"
#include "core/pages/PageResources.h"
#include "core/store/BookmarkTable.h"

#include <QDir>
#include <algorithm>
#include <vector>

namespace quillet::pages {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kBlankPage = QStringLiteral("blank.htm");
const QString kNoImage = QStringLiteral("noimagel.gif");

const char kContentsHeader[] = "<HTML>\r\n"
                               "<!--Sitemap 1.0-->\r\n"
                               "<OBJECT type=\"text/site properties\">\r\n"
                               "<param name=\"ImageType\" value=\"Folder\">\r\n"
                               "</object>\r\n";

const char kProjectOptions[] = "[OPTIONS]\r\n"
                               "Compiled File=%1\r\n"
                               "Title=\r\n"
                               "Contents File=favorites.hhc\r\n"
                               "Index File=\r\n"
                               "Default topic=%2\r\n"
                               "Default Window=NewWindow\r\n"
                               "Error log file=\r\n"
                               "Display compile progress=No\r\n"
                               "Display compile notes=No\r\n"
                               "Full-text search=Yes\r\n"
                               "Binary Index=No\r\n"
                               "Auto Index=No\r\n"
                               "Enhanced decompilation=No\r\n"
                               "Binary TOC=No\r\n"
                               "Flat=No\r\n"
                               "Title =IE\r\n"
                               "\r\n"
                               "[WINDOWS]\r\n"
                               "NewWindow=\"\",\"favorites.hhc\",\"\",\"\",\"\",,,,,0x420,0,0x200e,"
                               "[0,0,800,550],0x0,0x0,,0,0,0\r\n"
                               "\r\n"
                               "[FILES]\r\n";

const char kProjectTail[] = "\r\n"
                            "[ALIAS]\r\n"
                            "\r\n"
                            "[MAP]\r\n"
                            "\r\n"
                            "[TEXT POPUPS]\r\n";

} // namespace

QString chmWorkFolder()
{
    return common::homePath(QStringLiteral("_chm"));
}

QString helpFileName(bool untitled, const QString &documentFileName)
{
    if (untitled)
        return QStringLiteral("Favorites.chm");
    const qsizetype dot = documentFileName.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? documentFileName : documentFileName.left(dot)).trimmed()
        + QStringLiteral(".chm");
}

QString contentsTitle(const QString &title)
{
    QString text;
    text.reserve(title.size());
    for (const char32_t c : title.toUcs4()) {
        if (c == U'&')
            text += QLatin1String("&amp;");
        else if (c < 0x80)
            text += QChar(c);
        else
            text += QStringLiteral("&#%1;").arg(static_cast<uint>(c));
    }
    return text;
}

HelpProjectWriter::HelpProjectWriter(const outline::HeadingTreeModel &tree,
    const store::BookmarkTable &table, QString folder, common::ProgressView *progress,
    common::StatusView *status)
    : m_tree(tree)
    , m_table(table)
    , m_folder(std::move(folder))
    , m_progress(progress)
    , m_status(status)
{
}

void HelpProjectWriter::setStatus(const QString &text)
{
    if (m_status)
        m_status->setStatusText(text);
}

bool HelpProjectWriter::writeText(const QString &name, const QString &text)
{
    return writeFileBytes(m_folder + QLatin1Char('/') + name, (text + kCrLf).toUtf8());
}

QString HelpProjectWriter::pageName(const outline::HeadingNode *heading) const
{
    return QString::number(m_index.value(heading)) + QStringLiteral(".htm");
}

bool HelpProjectWriter::build(const QString &helpFile)
{
    if (!QDir().mkpath(m_folder))
        return false;

    // Pages are named by each heading's place in the order of adding.
    std::vector<const outline::HeadingNode *> nodes;
    for (outline::HeadingWalk walk(m_tree.topLevel()); walk.next();)
        nodes.push_back(walk.node());
    std::sort(nodes.begin(), nodes.end(),
        [](const auto *a, const auto *b) { return a->addedOrder < b->addedOrder; });
    m_index.clear();
    for (size_t i = 0; i < nodes.size(); ++i)
        m_index.insert(nodes[i], static_cast<int>(i + 1));
    // One pass finds every heading's rows; pages then read theirs by ID.
    QStringList keys;
    keys.reserve(qsizetype(nodes.size()));
    for (const outline::HeadingNode *node : nodes)
        keys << node->key;
    std::vector<std::vector<store::RowRef>> refs = m_table.liveRowsOf(keys);
    m_rows.clear();
    for (size_t i = 0; i < nodes.size(); ++i)
        m_rows.insert(nodes[i], std::move(refs[i]));

    const qint64 live = m_table.countLive();
    if (m_progress) {
        m_progress->setMaximum(live + 2 * qint64(nodes.size()) + 4);
        m_progress->setValue(0);
        m_progress->setVisible(true);
    }
    common::progressCounter = 0;
    setStatus(QStringLiteral("Status: Starting ..."));
    common::advanceProgress(m_progress);

    writeMissingAssets(m_folder,
        {
            {"shim.gif", Resource::ShimPicture},
            {"styles.css", Resource::StyleSheet},
            {"noimagel.gif", Resource::NoImagePicture},
            {"single_dot_h.gif", Resource::DottedRulePicture},
            {"small_bullet.gif", Resource::BulletPicture},
        });
    if (!writeText(QStringLiteral("tmp.htm"),
            QStringLiteral("<html><img src=\"shim.gif\"><img src=\"single_dot_h.gif\"></html>"))
        || !writeText(kBlankPage, QStringLiteral("<html></html>")))
        return false;
    m_files = kBlankPage + kCrLf + QStringLiteral("tmp.htm") + kCrLf;

    setStatus(QStringLiteral("Status: Creating hhc file ..."));
    m_contents = QLatin1String(kContentsHeader);
    const outline::HeadingNode *first = m_tree.root();
    const QString topic = first && !m_rows.value(first).empty() ? pageName(first) : kBlankPage;
    if (first)
        writeContents(m_tree.topLevel());
    common::advanceProgress(m_progress);
    m_contents += QStringLiteral("</HTML>") + kCrLf;
    if (!writeText(QStringLiteral("favorites.hhc"), m_contents))
        return false;

    setStatus(QStringLiteral("Status: Creating hhp file ..."));
    common::advanceProgress(m_progress);
    if (!writeText(QStringLiteral("favorites.hhp"),
            QString::fromLatin1(kProjectOptions).arg(helpFile, topic) + m_files
                + QLatin1String(kProjectTail)))
        return false;

    setStatus(QStringLiteral("Status: Compiling chm file ..."));
    common::advanceProgress(m_progress);
    return true;
}

void HelpProjectWriter::writeContents(const HeadingChain &top)
{
    // WriteContentsLevel over the walk: a heading with children opens a list
    // of its own, closed when the walk comes back above it.
    m_contents += QStringLiteral("<UL>") + kCrLf;
    int openLists = 1;
    for (outline::HeadingWalk walk(top); walk.next();) {
        const outline::HeadingNode *node = walk.node();
        for (; openLists > walk.depth() + 1; --openLists)
            m_contents += QStringLiteral("</UL>") + kCrLf;
        QString page = pageName(node);
        if (writeHeadingPage(node, page))
            m_files += page + kCrLf;
        else
            page = kBlankPage;
        common::advanceProgress(m_progress);
        common::yieldToEventLoop();
        m_contents += QStringLiteral("<LI><OBJECT type=\"text/sitemap\">\r\n"
                                     "<param name=\"Name\" value=\"%1\">\r\n"
                                     "<param name=\"Local\" value=\"%2\">\r\n"
                                     "<param name=\"ImageNumber\" value=\"1\"></OBJECT>\r\n")
                          .arg(contentsTitle(node->title), page);
        if (!node->children.empty()) {
            m_contents += QStringLiteral("<UL>") + kCrLf;
            ++openLists;
        }
    }
    for (; openLists > 0; --openLists)
        m_contents += QStringLiteral("</UL>") + kCrLf;
}

bool HelpProjectWriter::writeHeadingPage(const outline::HeadingNode *heading, const QString &page)
{
    const std::vector<store::BookmarkRow> rows
        = m_table.liveRowsById(m_rows.value(heading), store::Thumbnail::Read);
    if (rows.empty()) {
        common::advanceProgress(m_progress);
        return false;
    }
    QString text = resourceText(Resource::HelpPageHead);
    for (size_t i = 0; i < rows.size(); ++i) {
        common::advanceProgress(m_progress);
        text += pageBlock(rows[i], i + 1 == rows.size());
    }
    text += resourceText(Resource::HelpPageTail);
    // Style sheet and pictures are named relative to the page, so that the
    // compiler takes them into the help file (the work folder is emptied
    // after every build). The page is UTF-8 and keeps saying so.
    text.replace(QLatin1String("&imgPath&\\"), QString());
    text.replace(QLatin1String("&imgPath&"), QString());
    common::advanceProgress(m_progress);
    writeText(page, text);
    return true;
}

QString HelpProjectWriter::pageBlock(const store::BookmarkRow &row, bool last)
{
    QString block = resourceText(Resource::HelpPageBlock);
    block.replace(QLatin1String("&details&"),
        last ? QLatin1String("details_end") : QLatin1String("details_header"));
    block.replace(QLatin1String("&urlName&"), row.name);
    block.replace(
        QLatin1String("&urlDescrip&"), row.descriptionIsNull ? QString() : row.description);
    block.replace(QLatin1String("&urlLink&"), completeLink(row.link));
    block.replace(QLatin1String("&imgFile&"), saveThumbnailForPage(row));
    return block;
}

QString HelpProjectWriter::saveThumbnailForPage(const store::BookmarkRow &row)
{
    if (row.thumbnail.isEmpty())
        return kNoImage;
    const QString name = QString::number(common::progressCounter) + QStringLiteral(".jpg");
    writeFileBytes(m_folder + QLatin1Char('/') + name, row.thumbnail);
    return name;
}

} // namespace quillet::pages
