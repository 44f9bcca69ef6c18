// SPDX-License-Identifier: GPL-3.0-or-later
// Stored settings at start-up: any config.ini and option.ini bytes read into
// the settings, the window place fitted to a few sets of screens, the client
// area laid out in the window that results, and the list font resolved. A
// start may fall back to defaults, never crash or place the window out of
// reach.
//
// The input is the config.ini bytes, a NUL, then the option.ini bytes.
#include "FuzzHome.h"
#include "core/outline/ClientLayout.h"
#include "core/settings/ListFont.h"
#include "core/settings/Settings.h"
#include "core/shell/ScreenFit.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace quillet;

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "Settings fault: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir *dir = &fuzzFolder("fuzz_settings");
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QString config = dir->filePath(QStringLiteral("config.ini"));
    const QString option = dir->filePath(QStringLiteral("option.ini"));
    writeFuzzFile(config, split < 0 ? input : input.left(split));
    writeFuzzFile(option, split < 0 ? QByteArray() : input.mid(split + 1));

    const WindowSettings window = loadWindowSettings(config);
    OptionSettings options = loadOptionSettings(option);
    if (options.imageFolder.size() < 2)
        fail("no image folder");
    if (options.loadMethods < 0 || options.loadMethods > 2 || options.groupOption < 0
        || options.groupOption > 2)
        fail("a choice out of its range");
    (void)resolveListFont(options, QGuiApplication::font());

    const QSize minimum(
        outline::toPixels(outline::kMinWindowWidth), outline::toPixels(outline::kMinWindowHeight));
    const QRect stored(outline::toPixels(window.left), outline::toPixels(window.top),
        outline::toPixels(window.width), outline::toPixels(window.height));
    const QList<QList<QRect>> screenSets = {
        {QRect(0, 0, 1920, 1050)},
        {QRect(1920, 0, 800, 600), QRect(0, 0, 1280, 1024)},
        {QRect(0, 0, 320, 240)},
    };
    for (const QList<QRect> &screens : screenSets) {
        const QRect placed = shell::fitToScreens(stored, screens, minimum);
        bool reachable = false;
        int widest = 0;
        int highest = 0;
        for (const QRect &screen : screens) {
            const QRect on = screen.intersected(placed);
            reachable |= on.width() > 0 && on.height() > 0 && placed.top() >= screen.top()
                && placed.top() <= screen.bottom();
            widest = std::max(widest, screen.width());
            highest = std::max(highest, screen.height());
        }
        if (placed.width() > widest || placed.height() > highest)
            fail("window larger than every screen");
        if (!reachable)
            fail("window out of reach");
        const outline::ClientLayout layout
            = outline::layoutClient(outline::toTwips(placed.size()), window);
        (void)outline::toPixels(layout.list);
        (void)outline::toPixels(layout.pane);
    }
    return 0;
}
