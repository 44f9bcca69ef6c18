// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/JetDialect.h"
#include "core/store/JetDialectInternal.h"

#include <cstdint>
#include <cstring>

namespace quillet::jet {
namespace {

int compareUtf8(const unsigned char *a, size_t na, const unsigned char *b, size_t nb)
{
    // Keys and links are nearly always ASCII: compare bytes until the first
    // byte >= 0x80. Everything before it is ASCII, so that byte starts a code
    // point in both texts and the Unicode comparison can take over there.
    const size_t n = na < nb ? na : nb;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t wa;
        std::uint64_t wb;
        std::memcpy(&wa, a + i, sizeof wa);
        std::memcpy(&wb, b + i, sizeof wb);
        if (wa != wb || (wa & 0x8080808080808080ULL))
            break;
    }
    for (; i < n; ++i) {
        const unsigned char ca = a[i];
        const unsigned char cb = b[i];
        if ((ca | cb) & 0x80)
            break;
        if (ca != cb && kLower[ca] != kLower[cb])
            return kLower[ca] < kLower[cb] ? -1 : 1;
    }
    if (i == n)
        return na < nb ? -1 : (na > nb ? 1 : 0);

    size_t ia = i;
    size_t ib = i;
    while (ia < na && ib < nb) {
        const char32_t fa = fold(decodeUtf8(a, na, ia));
        const char32_t fb = fold(decodeUtf8(b, nb, ib));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return int(ia < na) - int(ib < nb);
}

int collateText(void *, int na, const void *a, int nb, const void *b)
{
    return compareUtf8(static_cast<const unsigned char *>(a), size_t(na),
        static_cast<const unsigned char *>(b), size_t(nb));
}

} // namespace

int registerDialect(sqlite3 *db)
{
    int rc = sqlite3_create_collation_v2(
        db, kTextCollation, SQLITE_UTF8, nullptr, &collateText, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(
            db, "like", 2, flags, nullptr, &likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(
            db, "like", 3, flags, nullptr, &likeFunction, nullptr, nullptr, nullptr);
    return rc;
}

int compareText(QByteArrayView a, QByteArrayView b)
{
    return compareUtf8(reinterpret_cast<const unsigned char *>(a.data()), size_t(a.size()),
        reinterpret_cast<const unsigned char *>(b.data()), size_t(b.size()));
}

} // namespace quillet::jet
