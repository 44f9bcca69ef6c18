// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace quillet::store {

// A uniform integer from 1 to `max`, from one clock-seeded generator.
int randomIntegerUpTo(int max);

// Gives an object a fresh key "K" + N (N from 1 to 10000000): draws until the
// containing collection accepts the key (`tryKey` returns false when it
// already holds it) and returns the accepted key.
QString assignRandomKey(const std::function<bool(const QString &key)> &tryKey);

} // namespace quillet::store
