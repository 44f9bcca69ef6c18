// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace quillet::test {

// Bytes of a file, for "left byte-for-byte unchanged" checks (empty when the
// file is missing).
QByteArray fileBytes(const QString &path);
void writeFileBytes(const QString &path, const QByteArray &bytes);

} // namespace quillet::test
