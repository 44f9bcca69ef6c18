// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/RandomNumbers.h"

#include <chrono>
#include <random>

namespace quillet::store {

namespace {

std::mt19937 &generator()
{
    static std::mt19937 engine(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    return engine;
}

} // namespace

int randomIntegerUpTo(int max)
{
    std::uniform_int_distribution<int> distribution(1, max);
    return distribution(generator());
}

QString assignRandomKey(const std::function<bool(const QString &key)> &tryKey)
{
    for (;;) {
        const QString key = QLatin1Char('K') + QString::number(randomIntegerUpTo(10000000));
        if (tryKey(key))
            return key;
    }
}

} // namespace quillet::store
