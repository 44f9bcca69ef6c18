#include "pages/DescriptionPane.h"

namespace quillet::pages {

DescriptionPane::DescriptionPane(QWidget *parent)
    : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("webDescrip"));
    setOpenLinks(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void DescriptionPane::showBookmark(const store::BookmarkRow &row)
{
    setHtml(QStringLiteral("<h3>%1</h3><p>%2</p><p>%3</p><p>%4</p>")
                .arg(row.name.toHtmlEscaped(), row.link.toHtmlEscaped(), row.date.toHtmlEscaped(),
                    row.description.toHtmlEscaped()));
}

void DescriptionPane::blank()
{
    clear();
}

} // namespace quillet::pages
