#include "model/embedded_object.h"

#include <strings.h>

#include "model/object_files.h"
#include "platform/whole_file.h"

namespace {

constexpr std::string_view kSignature = "KOBJ";
constexpr std::size_t kSizeDigits = 10;
constexpr std::size_t kWaveHeader = 35;
constexpr std::size_t kNtFiller = 12;

bool same(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool fixed_sound_layout(int kind, int layout) {
  return kind == kKindSound && (layout == 0 || layout == 2);
}

bool ends_with(const std::string& path, std::string_view extension) {
  return path.size() >= extension.size() &&
         same(std::string_view(path).substr(path.size() - extension.size()), extension);
}

// The 32-bit length at offset 4 moved by delta (its lowest byte first, with
// the carry).
void move_length(std::string& bytes, std::int64_t delta) {
  put_le32(bytes, 4, static_cast<std::uint32_t>(le32(bytes, 4) + delta));
}

}  // namespace

int kind_of_type_name(std::string_view type_name) {
  for (std::string_view sound : {"Sound", "Microsoft Sound Recorder Server", "Wave Sound"})
    if (same(type_name, sound)) return kKindSound;
  for (std::string_view picture : {"Paintbrush Picture", "Paint"})
    if (same(type_name, picture)) return kKindPicture;
  return kKindOther;
}

std::uint16_t mime_type_of(std::string_view type_name) {
  switch (kind_of_type_name(type_name)) {
    case kKindSound:
      return 4;
    case kKindPicture:
      return 5;
  }
  return 3;
}

std::string subtype_of(std::string_view type_name) {
  switch (kind_of_type_name(type_name)) {
    case kKindSound:
      return "WAV";
    case kKindPicture:
      return "Bitmap";
  }
  return std::string(type_name);
}

int kind_of_subtype(std::string_view subtype) {
  if (same(subtype, "Bitmap")) return kKindPicture;
  if (same(subtype, "WAV")) return kKindSound;
  return kKindOther;
}

std::optional<embedded_object> object_from_file(const std::string& path) {
  std::optional<std::string> read = read_whole_file(path);
  if (!read) return std::nullopt;
  std::string& bytes = *read;
  if (ends_with(path, ".bmp") && bitmap_file_facts(bytes))
    return embedded_object{kPictureTypeName, std::move(bytes)};
  if (ends_with(path, ".wav") && wave_file_facts(bytes))
    return embedded_object{kSoundTypeName, std::move(bytes)};
  return std::nullopt;
}

void write_object_data(archive& ar, const embedded_object& object, int layout) {
  const int kind = kind_of_type_name(object.type_name);
  std::string block = object.file;
  // A sound's wave file has more than 35 bytes (it is checked when made).
  if (kind == kKindSound && layout == 2) {
    move_length(block, kNtFiller);
    block.insert(kWaveHeader, kNtFiller, '\0');
  }
  std::string size = std::to_string(block.size());
  size.insert(0, kSizeDigits - size.size(), '0');
  std::string head(kSignature);
  head += static_cast<char>(layout);
  head += size;
  ar.write_bytes(reinterpret_cast<const std::byte*>(head.data()), head.size());
  ar.write_string(object.type_name);
  if (fixed_sound_layout(kind, layout)) {
    // The block starts at the same offset whatever the type name's length
    // (a sound's type name is short: one length byte).
    const std::size_t written = head.size() + 1 + object.type_name.size();
    const std::string zeros(kFixedSoundOffset - written, '\0');
    ar.write_bytes(reinterpret_cast<const std::byte*>(zeros.data()), zeros.size());
  }
  ar.write_bytes(reinterpret_cast<const std::byte*>(block.data()), block.size());
}

embedded_object read_object_data(archive& ar, int& layout) {
  embedded_object object;
  std::string head(kSignature.size() + 1 + kSizeDigits, '\0');
  if (!ar.read_bytes(reinterpret_cast<std::byte*>(head.data()), head.size())) return object;
  if (head.substr(0, kSignature.size()) != kSignature) {
    ar.fail("not an embedded object");
    return object;
  }
  layout = static_cast<unsigned char>(head[kSignature.size()]);
  const std::string digits = head.substr(kSignature.size() + 1);
  if (layout > 2 || digits.find_first_not_of("0123456789") != std::string::npos) {
    ar.fail("a damaged embedded object");
    return object;
  }
  const std::uint64_t size = std::stoull(digits);
  object.type_name = ar.read_string();
  const int kind = kind_of_type_name(object.type_name);
  if (fixed_sound_layout(kind, layout)) {
    const std::size_t written = head.size() + 1 + object.type_name.size();
    std::string zeros(kFixedSoundOffset - std::min(written, kFixedSoundOffset), '\0');
    ar.read_bytes(reinterpret_cast<std::byte*>(zeros.data()), zeros.size());
    if (written > kFixedSoundOffset || zeros.find_first_not_of('\0') != std::string::npos)
      ar.fail("a damaged embedded sound");
  }
  if (ar.failed()) return object;
  if (size > ar.remaining()) {
    ar.fail("an object of " + std::to_string(size) + " bytes with only " +
            std::to_string(ar.remaining()) + " bytes left");
    return object;
  }
  std::string block(size, '\0');
  if (!ar.read_bytes(reinterpret_cast<std::byte*>(block.data()), block.size())) return object;
  if (kind == kKindSound && layout == 2) {
    if (block.size() < kWaveHeader + kNtFiller) {
      ar.fail("a damaged embedded sound");
      return object;
    }
    block.erase(kWaveHeader, kNtFiller);
    move_length(block, -static_cast<std::int64_t>(kNtFiller));
  }
  const bool whole = kind == kKindPicture ? bitmap_file_facts(block).has_value()
                     : kind == kKindSound ? wave_file_facts(block).has_value()
                                          : true;
  if (!whole)
    ar.fail(kind == kKindPicture ? "a damaged embedded picture" : "a damaged embedded sound");
  object.file = std::move(block);
  return object;
}
