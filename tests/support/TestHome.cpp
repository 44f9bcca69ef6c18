// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestHome.h"

#include <QtGlobal>

namespace quillet::test {

TestHome::TestHome()
    : m_home("QUILLET_HOME", m_dir.path())
{
    Q_ASSERT(m_dir.isValid());
}

} // namespace quillet::test
