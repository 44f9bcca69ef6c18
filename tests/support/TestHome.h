// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScopedEnvironment.h"

#include <QString>
#include <QTemporaryDir>

namespace quillet::test {

// Points QUILLET_HOME at a fresh temporary folder for its lifetime, so that
// no test sees another's settings, untitled documents or work files.
class TestHome
{
public:
    TestHome();
    TestHome(const TestHome &) = delete;
    TestHome &operator=(const TestHome &) = delete;

    QString path() const { return m_dir.path(); }
    // A path inside the home (not created).
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    ScopedEnvironment m_home;
};

} // namespace quillet::test
