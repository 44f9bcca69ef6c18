// SPDX-License-Identifier: GPL-3.0-or-later
// The tree and list font from option.ini, with the main window's font as
// the fallback that is also written back.
#include "core/settings/ListFont.h"
#include "core/settings/Settings.h"

#include <QFontDatabase>
#include <QStringList>
#include <gtest/gtest.h>

using namespace quillet;

namespace {

QFont windowFont()
{
    QFont font(QStringLiteral("Window Font Family"));
    font.setPointSizeF(9.5);
    return font;
}

} // namespace

TEST(ListFont, EmptyOrUnknownNameAndBadSizeFallBackToTheWindowFont)
{
    for (const char *name : {"", "No Such Family 4711"}) {
        for (const char *size : {"", "abc", "0", "-3", "1e9", "nan"}) {
            OptionSettings options;
            options.fontName = QString::fromLatin1(name);
            options.fontSize = QString::fromLatin1(size);
            const QFont font = resolveListFont(options, windowFont());
            EXPECT_EQ(options.fontName, QStringLiteral("Window Font Family")) << name;
            EXPECT_EQ(options.fontSize, QStringLiteral("9.5")) << size;
            EXPECT_EQ(font.family(), QStringLiteral("Window Font Family"));
            EXPECT_EQ(font.pointSizeF(), 9.5);
        }
    }
}

TEST(ListFont, InstalledFamilyAndNumericSizeAreTaken)
{
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    OptionSettings options;
    options.fontName = families.first();
    options.fontSize = QStringLiteral(" 13 ");
    const QFont font = resolveListFont(options, windowFont());
    EXPECT_EQ(font.family(), families.first());
    EXPECT_EQ(font.pointSizeF(), 13.0);
    EXPECT_EQ(options.fontName, families.first());
    EXPECT_EQ(options.fontSize, QStringLiteral(" 13 ")); // kept as read
}
