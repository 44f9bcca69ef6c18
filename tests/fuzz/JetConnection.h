// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/JetDialect.h"

#include <sqlite3.h>

#include <cstdlib>

// One in-memory connection with the Jet dialect for the whole fuzzing run;
// `setup` runs once when it is made.
inline sqlite3 *jetConnection(const char *setup = "")
{
    static sqlite3 *db = [setup] {
        sqlite3 *d = nullptr;
        if (sqlite3_open(":memory:", &d) != SQLITE_OK
            || quillet::jet::registerDialect(d) != SQLITE_OK
            || sqlite3_exec(d, setup, nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        return d;
    }();
    return db;
}
