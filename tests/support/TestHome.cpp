// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestHome.h"

#include <QtGlobal>

namespace quillet::test {

TestHome::TestHome()
    : m_previous(qgetenv("QUILLET_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("QUILLET_HOME"))
{
    Q_ASSERT(m_dir.isValid());
    qputenv("QUILLET_HOME", m_dir.path().toUtf8());
}

TestHome::~TestHome()
{
    if (m_hadPrevious)
        qputenv("QUILLET_HOME", m_previous);
    else
        qunsetenv("QUILLET_HOME");
}

} // namespace quillet::test
