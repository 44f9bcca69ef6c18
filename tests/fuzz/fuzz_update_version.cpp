// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's reading of the published version against the running
// one, on any text: versions compare as an order (each with itself equal,
// either way round the opposite), anything else keeps the window waiting.
#include "core/settings/UpdateCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

using namespace quillet;

namespace {

[[noreturn]] void fail(const char *what, const QString &a, const QString &b)
{
    std::fprintf(stderr, "Version reader: %s: \"%s\" / \"%s\"\n", what, a.toStdString().c_str(),
        b.toStdString().c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const QString a = QString::fromStdString(fdp.ConsumeRandomLengthString(64));
    const QString b = QString::fromStdString(fdp.ConsumeRemainingBytesAsString());
    const std::optional<int> ab = settings::compareVersions(a, b);
    const std::optional<int> ba = settings::compareVersions(b, a);
    if (ab.has_value() != ba.has_value() || (ab && *ab != -*ba))
        fail("not antisymmetric", a, b);
    if (ab && settings::compareVersions(a, a) != 0)
        fail("not equal to itself", a, a);
    const settings::UpdateVerdict verdict = settings::judgeVersion(a, b);
    if ((verdict == settings::UpdateVerdict::Wait) != !ab)
        fail("waits for a version it could read", a, b);
    if (verdict == settings::UpdateVerdict::NewVersion && *ab <= 0)
        fail("offers an older version", a, b);
    return 0;
}
