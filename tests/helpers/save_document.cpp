// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a document, loads its heading tree and saves it; prints "saving"
// just before the save starts, so a test can kill it in the middle.
#include "core/outline/HeadingTreeModel.h"
#include "core/outline/HeadingTreeStorage.h"
#include "core/store/Schema.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    try {
        auto db = quillet::store::openDocumentDatabase(QString::fromLocal8Bit(argv[1]));
        quillet::outline::HeadingTreeModel tree;
        quillet::outline::loadHeadingTree(*db, tree, nullptr);
        std::puts("saving");
        std::fflush(stdout);
        for (int i = 0; i < 3; ++i)
            quillet::outline::resolvePendingChanges(
                *db, &tree, quillet::store::Resolution::Save, nullptr, nullptr);
        std::puts("saved");
    } catch (const std::exception &e) {
        std::printf("error %s\n", e.what());
        return 1;
    }
    return 0;
}
