#include "model/cntr_item.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <new>

#include "model/model_classes.h"
#include "model/object_files.h"
#include "model/stored_data.h"
#include "platform/scratch_directory.h"
#include "platform/whole_file.h"

const archive_class CVelmarCntrItem::runtime_class = {"CVelmarCntrItem", 0,
                                                      make_model_object<CVelmarCntrItem>};

namespace {

constexpr std::uint16_t kMarker = 0x5500;
constexpr std::size_t kDisplayNameLimit = 99;
// Pixels a metre when a bitmap does not say (96 dots an inch), and the size
// of the icon a sound shows as.
constexpr std::int64_t kScreenPixelsPerMeter = 3780;
constexpr std::int64_t kSoundIconPixels = 32;

constexpr const char* kGetType = "GET Type not in 0-2!";
constexpr const char* kPutType = "PUT Type not in 0-2!";
constexpr const char* kGetBitmapEnvironment = "GETBMP Environment NOT In 0-2!";
constexpr const char* kGetWaveEnvironment = "GETWAV Environment NOT In 0-2!";
constexpr const char* kPutBitmapEnvironment = "PUTBMP Environment NOT In 0-2 !";
constexpr const char* kPutWaveEnvironment = "PUTWAV Environment NOT In 0-2 !";
constexpr const char* kWholeFileShort = "xxcopy failed";
constexpr const char* kFileShort = "hcopy failed";
constexpr const char* kBlockShort = "hData failed";

// The scratch files of an environment: stored data and file out, for
// pictures and sounds, and the file a letter's bytes come in through.
struct scratch_names {
  const char* picture_data;
  const char* picture_out;
  const char* sound_data;
  const char* sound_out;
  const char* picture_in;
  const char* sound_in;
};

constexpr scratch_names kScratch[] = {
    {"a_311_gb.dat", "a_311_gd.bmp", "a_311_gw.dat", "a_311_gd.wav", "a_311_p.bmp", "a_311_p.wav"},
    {"a_95_gb.dat", "a_95_gd.bmp", "a_95_gw.dat", "a_95_gd.wav", "a_95_p.bmp", "a_95_p.wav"},
    {"a_nt_gb.dat", "a_nt_gd.bmp", "a_nt_gw.dat", "a_nt_gd.wav", "a_nt_p.bmp", "a_nt_p.wav"},
};
constexpr const char* kNativeIn = "a_ole.dat";

// The system's multiply-divide: a * b / c rounded half away from zero; -1
// when c is 0.
std::int32_t mul_div(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0) return -1;
  const std::int64_t product = a * b;
  std::int64_t quotient = product / c;
  const std::int64_t rest = product % c;
  if (2 * (rest < 0 ? -rest : rest) >= (c < 0 ? -c : c))
    quotient += (product < 0) == (c < 0) ? 1 : -1;
  return static_cast<std::int32_t>(quotient);
}

std::int32_t himetric(std::int64_t pixels, std::int64_t per_meter) {
  if (per_meter <= 0) per_meter = kScreenPixelsPerMeter;
  return static_cast<std::int32_t>((pixels * 100000 + per_meter / 2) / per_meter);
}

// A block holding the bytes; nothing, after the message, when memory is short.
std::optional<memory_block> block_of(std::string_view bytes, const char* shortage,
                                     const std::function<void(const std::string&)>& tell) {
  std::optional<memory_block> block = memory_block::allocate(bytes.size());
  if (!block) {
    tell(shortage);
    return std::nullopt;
  }
  std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(block->data()));
  return block;
}

std::string_view view_of(const memory_block& block) {
  return {reinterpret_cast<const char*>(block.data()), block.size()};
}

}  // namespace

void CVelmarCntrItem::Serialize(archive& ar) {
  if (ar.storing()) {
    if (!object_) {
      ar.fail("an item without its object");
      return;
    }
    write_object_data(ar, *object_, environment);
    ar << kMarker;
    for (std::int32_t value :
         {position.left, position.top, position.right, position.bottom, extent.cx, extent.cy})
      ar << static_cast<std::uint32_t>(value);
    return;
  }
  int layout = 1;
  embedded_object read = read_object_data(ar, layout);
  if (ar.failed()) return;
  if (ar.read_u16() != kMarker) {
    ar.fail("an embedded item with a wrong marker");
    return;
  }
  std::int32_t values[6];
  for (std::int32_t& value : values)
    value = static_cast<std::int32_t>(ar.read_u32());
  if (ar.failed()) return;
  object_ = std::move(read);
  environment = layout;
  position = {values[0], values[1], values[2], values[3]};
  extent = {values[4], values[5]};
}

std::string CVelmarCntrItem::stored_form(int layout) const {
  CVelmarCntrItem copy(nullptr);
  copy.object_ = object_;
  copy.position = position;
  copy.extent = extent;
  copy.environment = layout;
  archive_memory_sink sink;
  archive ar(sink);
  copy.Serialize(ar);
  return ar.flush() ? sink.bytes() : std::string();
}

std::optional<item_extent> CVelmarCntrItem::object_extent() const {
  if (!object_) return std::nullopt;
  switch (kind_of_type_name(object_->type_name)) {
    case kKindPicture:
      if (std::optional<bitmap_facts> facts = bitmap_file_facts(object_->file)) {
        const std::int64_t height =
            facts->height < 0 ? -std::int64_t{facts->height} : facts->height;
        return item_extent{himetric(facts->width, facts->x_pixels_per_meter),
                           himetric(height, facts->y_pixels_per_meter)};
      }
      return std::nullopt;
    case kKindSound:
      return item_extent{himetric(kSoundIconPixels, 0), himetric(kSoundIconPixels, 0)};
  }
  return std::nullopt;
}

void CVelmarCntrItem::set_display_name(std::string_view name) {
  display_name_ = std::string(name.substr(0, kDisplayNameLimit));
}

void CVelmarCntrItem::update_extent() {
  std::optional<item_extent> now = object_extent();
  if (!now || *now == extent) return;
  if (extent == item_extent{}) {
    position.right = position.left + now->cx * 10 / 254;
    position.bottom = position.top - now->cy * 10 / 254;
  } else if (!open) {
    position.right = position.left + mul_div(position.right - position.left, now->cx, extent.cx);
    position.bottom = position.top - mul_div(position.top - position.bottom, now->cy, extent.cy);
  }
  extent = *now;
}

void CVelmarCntrItem::OnChange() {
  if (site_) site_->document_changed();
  update_extent();
}

void CVelmarCntrItem::OnChangeItemPosition(const item_rect& moved) {
  if (moved == position) return;
  position = moved;
  if (site_) site_->document_changed();
  update_extent();
}

item_rect CVelmarCntrItem::OnGetItemPosition() {
  if (position.right == position.left && position.top == position.bottom) update_extent();
  return position;
}

void CVelmarCntrItem::tell(const std::string& message) {
  if (site_) site_->tell(message);
}

std::optional<std::string> CVelmarCntrItem::stored_data() {
  if (!site_ || !site_->copy_to_clipboard(*this, stored_form(environment))) {
    tell(kClipboardCopyFailed);
    return std::nullopt;
  }
  std::optional<std::string> data = site_->private_clipboard_data();
  if (!data) tell(kNoPrivateFormat);
  return data;
}

std::optional<memory_block> CVelmarCntrItem::take_file(int layout, int kind) {
  const scratch_names& names = kScratch[layout];
  const bool picture = kind == kKindPicture;
  // The copy is laid out for this environment's getters.
  const int kept = environment;
  environment = layout;
  std::optional<std::string> stored = stored_data();
  environment = kept;
  if (!stored) return std::nullopt;
  const std::optional<std::string> data =
      scratch_file(picture ? names.picture_data : names.sound_data);
  const std::optional<std::string> out =
      scratch_file(picture ? names.picture_out : names.sound_out);
  if (!data || !out) return std::nullopt;
  const bool written = write_whole_file(*data, *stored);
  stored.reset();
  std::optional<std::string> read = written ? read_whole_file(*data) : std::nullopt;
  std::remove(data->c_str());
  if (!read) return std::nullopt;
  auto say = [this](const std::string& message) { tell(message); };
  std::optional<memory_block> whole = block_of(*read, kWholeFileShort, say);
  read.reset();
  if (!whole) return std::nullopt;
  std::optional<std::string> file;
  try {
    const std::string_view bytes = view_of(*whole);
    file = picture       ? cut_bitmap(bytes)
           : layout == 0 ? cut_wave_311(bytes)
           : layout == 1 ? cut_wave_95(bytes)
                         : cut_wave_nt(bytes);
  } catch (const std::bad_alloc&) {
    tell(kFileShort);
    return std::nullopt;
  }
  if (!file || !write_whole_file(*out, *file)) {
    std::remove(out->c_str());
    return std::nullopt;
  }
  file.reset();
  std::optional<std::string> back = read_whole_file(*out);
  std::remove(out->c_str());
  if (!back) return std::nullopt;
  return block_of(*back, kBlockShort, say);
}

std::optional<memory_block> CVelmarCntrItem::Get(int layout, int kind) {
  switch (kind) {
    case kKindOther:
      return GetNative();
    case kKindPicture:
      return GetBitmap(layout);
    case kKindSound:
      return GetWave(layout);
  }
  tell(kGetType);
  return std::nullopt;
}

std::optional<memory_block> CVelmarCntrItem::GetBitmap(int layout) {
  switch (layout) {
    case 0:
      return GetBitmap311();
    case 1:
      return GetBitmap95();
    case 2:
      return GetBitmapNT();
  }
  tell(kGetBitmapEnvironment);
  return std::nullopt;
}

std::optional<memory_block> CVelmarCntrItem::GetWave(int layout) {
  switch (layout) {
    case 0:
      return GetWave311();
    case 1:
      return GetWave95();
    case 2:
      return GetWaveNT();
  }
  tell(kGetWaveEnvironment);
  return std::nullopt;
}

std::optional<memory_block> CVelmarCntrItem::GetBitmap311() {
  return take_file(0, kKindPicture);
}
std::optional<memory_block> CVelmarCntrItem::GetBitmap95() {
  return take_file(1, kKindPicture);
}
std::optional<memory_block> CVelmarCntrItem::GetBitmapNT() {
  return take_file(2, kKindPicture);
}
std::optional<memory_block> CVelmarCntrItem::GetWave311() {
  return take_file(0, kKindSound);
}
std::optional<memory_block> CVelmarCntrItem::GetWave95() {
  return take_file(1, kKindSound);
}
std::optional<memory_block> CVelmarCntrItem::GetWaveNT() {
  return take_file(2, kKindSound);
}

std::optional<memory_block> CVelmarCntrItem::GetNative() {
  std::optional<std::string> stored = stored_data();
  if (!stored) return std::nullopt;
  return block_of(*stored, kBlockShort, [this](const std::string& message) { tell(message); });
}

bool CVelmarCntrItem::Put(std::string_view data, int layout, int kind) {
  switch (kind) {
    case kKindOther:
      return PutNative(data);
    case kKindPicture:
      return PutBitmap(data, layout);
    case kKindSound:
      return PutWave(data, layout);
  }
  tell(kPutType);
  return false;
}

bool CVelmarCntrItem::PutBitmap(std::string_view data, int layout) {
  switch (layout) {
    case 0:
      return PutBitmap311(data);
    case 1:
      return PutBitmap95(data);
    case 2:
      return PutBitmapNT(data);
  }
  tell(kPutBitmapEnvironment);
  return false;
}

bool CVelmarCntrItem::PutWave(std::string_view data, int layout) {
  switch (layout) {
    case 0:
      return PutWave311(data);
    case 1:
      return PutWave95(data);
    case 2:
      return PutWaveNT(data);
  }
  tell(kPutWaveEnvironment);
  return false;
}

bool CVelmarCntrItem::PutBitmap311(std::string_view data) {
  return make_from_file(data, 0, kKindPicture);
}
bool CVelmarCntrItem::PutBitmap95(std::string_view data) {
  return make_from_file(data, 1, kKindPicture);
}
bool CVelmarCntrItem::PutBitmapNT(std::string_view data) {
  return make_from_file(data, 2, kKindPicture);
}
bool CVelmarCntrItem::PutWave311(std::string_view data) {
  return make_from_file(data, 0, kKindSound);
}
bool CVelmarCntrItem::PutWave95(std::string_view data) {
  return make_from_file(data, 1, kKindSound);
}
bool CVelmarCntrItem::PutWaveNT(std::string_view data) {
  return make_from_file(data, 2, kKindSound);
}

bool CVelmarCntrItem::make_from_file(std::string_view data, int layout, int kind) {
  const scratch_names& names = kScratch[layout];
  std::optional<std::string> path =
      scratch_file(kind == kKindPicture ? names.picture_in : names.sound_in);
  if (!path) return false;
  std::optional<embedded_object> made =
      write_whole_file(*path, data) ? object_from_file(*path) : std::nullopt;
  std::remove(path->c_str());
  if (!made) return false;
  object_ = std::move(*made);
  update_extent();
  return true;
}

bool CVelmarCntrItem::PutNative(std::string_view data) {
  std::optional<std::string> path = scratch_file(kNativeIn);
  if (!path) return false;
  std::optional<std::string> read =
      write_whole_file(*path, data) ? read_whole_file(*path) : std::nullopt;
  std::remove(path->c_str());
  if (!read) return false;
  archive_memory_source source(*read);
  archive ar(source, {});
  CVelmarCntrItem loaded(site_);
  loaded.Serialize(ar);
  if (ar.failed()) return false;
  object_ = std::move(loaded.object_);
  environment = loaded.environment;
  position = loaded.position;
  extent = loaded.extent;
  return true;
}

std::uint16_t CVelmarCntrItem::GetMimeType() const {
  return mime_type_of(GetTypeName());
}

std::string CVelmarCntrItem::GetSubtype() const {
  return subtype_of(GetTypeName());
}

std::string CVelmarCntrItem::GetTypeName() const {
  return object_ ? object_->type_name : std::string();
}
