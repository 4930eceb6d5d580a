#pragma once

#include <string>
#include <string_view>

// The font files in the font directory ("ccfont" under the work directory).
inline constexpr std::string_view kFontFolder = "ccfont";
inline constexpr std::string_view kHzk16Name = "HZK16";
inline constexpr std::string_view kCns1Name = "cns1.hbf";
inline constexpr std::string_view kCns2Name = "cns2.hbf";
inline constexpr std::string_view kKcm14Name = "kcm14.hbf";
inline constexpr std::string_view kAsc16Name = "ASC16";  // the 8x16 ASCII font

// The font directory of a work directory: "<work>\ccfont\".
std::string font_directory(std::string_view work_directory);

// A file in a font directory, with one separator between them.
std::string font_path(std::string_view directory, std::string_view name);

// The fonts the build generated or the installation placed beside the
// program: "ccfont" in the build folder above it, else "share/kestrel/ccfont"
// under its prefix (that folder's path even when it is missing).
std::string installed_font_directory();
