// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a document exclusively and holds it until its standard input closes
// (or it is killed); prints "ready" once the file is held.
#include "core/store/Schema.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    try {
        auto db = quillet::store::openDocumentDatabase(QString::fromLocal8Bit(argv[1]));
        std::puts("ready");
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) { }
    } catch (const std::exception &e) {
        std::printf("error %s\n", e.what());
        return 1;
    }
    return 0;
}
