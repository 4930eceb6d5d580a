#pragma once

#include <optional>
#include <string>
#include <string_view>

// The getters' way from an object's stored data (an item's stored form, as
// the clipboard copy yields it) to the file the object holds. Each trusts the
// file's own length field unless it is below one byte or claims more than
// the stored data holds; then it takes everything to the end. Nothing when
// the file's header is not there.

// The bitmap file at the first "BM": a 14-byte header whose 32-bit field at
// offset 2 is the file's length.
std::optional<std::string> cut_bitmap(std::string_view stored);
// Windows 95 sounds: the wave file at the first "RIFF", read by a 36-byte
// header whose 32-bit field at offset 4 is the file's length less 8.
std::optional<std::string> cut_wave_95(std::string_view stored);
// Windows 3.x sounds: the wave file at offset 3610, read the same way by a
// 35-byte header.
std::optional<std::string> cut_wave_311(std::string_view stored);
// Windows NT sounds: a 35-byte header at offset 3610 whose length field
// counts 12 bytes more, those 12 bytes, then the rest of the wave file.
std::optional<std::string> cut_wave_nt(std::string_view stored);
