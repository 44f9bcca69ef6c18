// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet::strings {

// Where Quillet's makers are reached: the Help menu's home page and mail.
inline constexpr const char kVendorHomePage[] = "https://quillet.example.org";
inline constexpr const char kVendorSupportMail[] = "support@quillet.example.org";

} // namespace quillet::strings
