// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestHome.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Each test gets a fresh application home, also when the binary runs many
// tests in one process.
class FreshHomePerTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        m_home = std::make_unique<quillet::test::TestHome>();
    }
    void OnTestEnd(const ::testing::TestInfo &) override { m_home.reset(); }

    std::unique_ptr<quillet::test::TestHome> m_home;
};

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quillet::test::TestHome processHome;
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHomePerTest);
    return RUN_ALL_TESTS();
}
