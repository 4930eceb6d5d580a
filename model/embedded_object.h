#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/archive.h"

// An embedded object as Kestrel's own picture and sound programs keep it:
// the user type name of its program and the file it holds.

// What a letter carries an object as.
enum : int { kKindOther = 0, kKindPicture = 1, kKindSound = 2 };

// The type names the picture and sound programs give their objects.
inline constexpr const char* kPictureTypeName = "Paintbrush Picture";
inline constexpr const char* kSoundTypeName = "Sound";

// By the user type name (case ignored): the kind, the MIME type code (4
// audio, 5 image, 3 application) and the subtype ("WAV", "Bitmap", or the
// type name itself).
int kind_of_type_name(std::string_view type_name);
std::uint16_t mime_type_of(std::string_view type_name);
std::string subtype_of(std::string_view type_name);
// By a received part's subtype (case ignored): "Bitmap" 1, "WAV" 2, else 0.
int kind_of_subtype(std::string_view subtype);

struct embedded_object {
  std::string type_name;
  // A picture's bitmap file, a sound's wave file, any other object's bytes.
  std::string file;
};

// The object the system makes from a file, choosing the program by the
// file: a ".bmp" file holding a bitmap becomes a picture, a ".wav" file
// holding a wave a sound; nothing for any other file.
std::optional<embedded_object> object_from_file(const std::string& path);

// An item's object as the framework's part of the item's stored form, laid
// out for the getters of an environment (0 Windows 3.x, 1 Windows 95,
// 2 Windows NT):
//
//   "KOBJ", the layout (one byte: the environment), the size of the object's
//   block in ten decimal digits, the type name (an archive string); for a
//   sound in layouts 0 and 2, zero bytes up to offset 3610; then the block.
//
// The block is the object's file, except for a sound in layout 2: the first
// 35 bytes of the wave file with the 32-bit length at offset 4 raised by 12,
// 12 zero bytes, then the rest of the file. No binary number comes before
// the block, so no search for "BM" or "RIFF" can stop short of it.
void write_object_data(archive& ar, const embedded_object& object, int layout);
// Reads it back, whatever the layout; faults go to the archive.
embedded_object read_object_data(archive& ar, int& layout);

// Where the sound block starts in layouts 0 and 2.
inline constexpr std::size_t kFixedSoundOffset = 3610;
