#pragma once

#include <QString>

namespace quillet::bench {

// A folder for benchmark files that lives as long as the process.
QString benchFolder();

// A closed document with `bookmarks` committed rows spread over `headings`
// headings (nested up to depth 8), made once per process and reused.
// Names, links and descriptions are varied texts; one in 1000 rows holds the
// word "needle" and one in 50 shares its link with another row.
QString documentWith(int headings, int bookmarks);

}  // namespace quillet::bench
