// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace quillet::store {

// Error numbers of the document engine. They follow the numbering the
// program's messages were written for, so callers can tell the common cases
// apart without parsing texts.
namespace EngineErrorCode {
inline constexpr int Generic = 3000;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int FileNotFound = 3024;
inline constexpr int DiskFull = 3026;
inline constexpr int ReadOnly = 3027;
inline constexpr int NotAPath = 3044;
inline constexpr int FileInUse = 3045;
inline constexpr int NotAValidDocument = 3343;
inline constexpr int DatabaseExists = 3204;
inline constexpr int ItemNotFound = 3265;
inline constexpr int TableExists = 3010;
inline constexpr int TableMissing = 3376;
inline constexpr int UpdateWithoutEdit = 3020;
inline constexpr int InjectedFailure = 3999;
} // namespace EngineErrorCode

// An engine failure: a number and a description, as every caller reports it.
class EngineError : public std::exception
{
public:
    EngineError(int number, QString description)
        : m_number(number)
        , m_description(std::move(description))
        , m_what(QStringLiteral("Error %1: %2").arg(number).arg(m_description).toUtf8())
    {
    }

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace quillet::store
