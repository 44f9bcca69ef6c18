// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet::strings {

// The program's own texts that several windows share.
inline constexpr const char kTitle[] = "Quillet"; // 1
inline constexpr const char kVersion[] = "3.0"; // 2
inline constexpr const char kStepInitializing[] = "Initializing ... "; // 5000
inline constexpr const char kStepCreatingWindow[] = "Creating main window ... "; // 5002
inline constexpr const char kStepLoadingFile[] = "Loading file ..."; // 5003
inline constexpr const char kCodecError[] = "Error loading GDI+!";

inline constexpr const char kStatusIdle[] = "Status: Idle";

} // namespace quillet::strings
