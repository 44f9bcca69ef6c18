// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the collation and the Like matcher. Private to
// JetCollation.cpp and JetLike.cpp; not part of the store's API.

#include <QChar>
#include <sqlite3.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quillet::jet {

// ---------------------------------------------------------------------------
// Case folding on UTF-8

constexpr std::array<unsigned char, 256> makeLowerTable()
{
    std::array<unsigned char, 256> table {};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + ('a' - 'A') : i);
    return table;
}

inline constexpr std::array<unsigned char, 256> kLower = makeLowerTable();

inline bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Reads one code point at s[i] and advances i. A byte that does not start a
// valid sequence reads as U+DC80..U+DCFF on its own, so every byte string has
// exactly one reading and the collation stays a total order on any input.
inline char32_t decodeUtf8(const unsigned char *s, size_t n, size_t &i)
{
    const unsigned char c = s[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        if (i + 1 < n && isContinuation(s[i + 1])) {
            const char32_t cp = (char32_t(c & 0x1F) << 6) | (s[i + 1] & 0x3F);
            i += 2;
            return cp;
        }
    } else if (c >= 0xE0 && c <= 0xEF) {
        if (i + 2 < n && isContinuation(s[i + 1]) && isContinuation(s[i + 2])) {
            const char32_t cp
                = (char32_t(c & 0x0F) << 12) | (char32_t(s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                i += 3;
                return cp;
            }
        }
    } else if (c >= 0xF0 && c <= 0xF4) {
        if (i + 3 < n && isContinuation(s[i + 1]) && isContinuation(s[i + 2])
            && isContinuation(s[i + 3])) {
            const char32_t cp = (char32_t(c & 0x07) << 18) | (char32_t(s[i + 1] & 0x3F) << 12)
                | (char32_t(s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                i += 4;
                return cp;
            }
        }
    }
    ++i;
    return 0xDC00 + c;
}

inline char32_t fold(char32_t c)
{
    return c < 0x80 ? kLower[c] : QChar::toCaseFolded(c);
}

inline bool isAscii(const unsigned char *s, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; i < n; ++i) {
        if (s[i] & 0x80)
            return false;
    }
    return true;
}

// like(pattern, value [, escape]), registered by registerDialect().
void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv);

} // namespace quillet::jet
