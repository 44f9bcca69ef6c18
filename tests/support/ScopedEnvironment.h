// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quillet::test {

// Sets an environment variable (or removes it, given nothing) for its
// lifetime; the old value, or its absence, comes back afterwards.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, const std::optional<QString> &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_had(qEnvironmentVariableIsSet(name))
    {
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

// HOME and XDG_CONFIG_HOME pointed at `user` for its lifetime, so that the
// desktop and the user's folders a command looks for are the test's own.
class ScopedUserHome
{
public:
    explicit ScopedUserHome(const QString &user)
        : m_home("HOME", user)
        , m_config("XDG_CONFIG_HOME", user + QStringLiteral("/.config"))
    {
    }

private:
    ScopedEnvironment m_home;
    ScopedEnvironment m_config;
};

} // namespace quillet::test
