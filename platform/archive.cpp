#include "platform/archive.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint16_t kNullTag = 0;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000;
constexpr std::uint32_t kMaxMapCount = 0x3FFFFFFE;
constexpr std::size_t kChunk = 1 << 16;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, pattern);
  std::vsnprintf(text, sizeof text, pattern, arguments);
  va_end(arguments);
  return text;
}

// A class name from a file, fit to be quoted in a message.
std::string printable(std::string_view name) {
  std::string result(name.substr(0, 80));
  for (char& c : result) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return result;
}

}  // namespace

bool archive_memory_source::read(std::byte* bytes, std::size_t size) {
  if (size > bytes_.size()) return false;
  if (size == 0) return true;
  std::memcpy(bytes, bytes_.data(), size);
  bytes_.remove_prefix(size);
  return true;
}

bool archive_memory_sink::write(const std::byte* bytes, std::size_t size) {
  if (size == 0) return true;
  bytes_.append(reinterpret_cast<const char*>(bytes), size);
  return true;
}

archive::archive(archive_sink& sink) : sink_(&sink) {}

archive::archive(archive_source& source, std::span<const archive_class* const> classes)
    : source_(&source), classes_(classes) {}

void archive::fail(std::string reason) {
  if (error_.empty()) error_ = reason.empty() ? "archive fault" : std::move(reason);
}

// Storing.

void archive::write_raw(const void* bytes, std::size_t size) {
  if (failed() || size == 0) return;
  buffer_.append(static_cast<const char*>(bytes), size);
  if (buffer_.size() >= kChunk) flush();
}

bool archive::flush() {
  if (failed()) return false;
  if (!buffer_.empty() &&
      !sink_->write(reinterpret_cast<const std::byte*>(buffer_.data()), buffer_.size())) {
    fail("the data could not be written");
    return false;
  }
  buffer_.clear();
  return true;
}

void archive::write_u8(std::uint8_t value) {
  write_raw(&value, 1);
}

void archive::write_u16(std::uint16_t value) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(value),
                                  static_cast<unsigned char>(value >> 8)};
  write_raw(bytes, 2);
}

void archive::write_u32(std::uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  write_raw(bytes, 4);
}

void archive::write_string(std::string_view text) {
  if (text.size() < 0xFF) {
    write_u8(static_cast<std::uint8_t>(text.size()));
  } else if (text.size() < 0xFFFE) {
    write_u8(0xFF);
    write_u16(static_cast<std::uint16_t>(text.size()));
  } else if (text.size() <= 0xFFFFFFFF) {
    write_u8(0xFF);
    write_u16(0xFFFF);
    write_u32(static_cast<std::uint32_t>(text.size()));
  } else {
    fail(format("a text of %zu bytes is too long to store", text.size()));
    return;
  }
  write_bytes(reinterpret_cast<const std::byte*>(text.data()), text.size());
}

void archive::write_count(std::size_t count) {
  if (count < 0xFFFF) {
    write_u16(static_cast<std::uint16_t>(count));
  } else if (count <= 0xFFFFFFFF) {
    write_u16(0xFFFF);
    write_u32(static_cast<std::uint32_t>(count));
  } else {
    fail(format("a list of %zu objects is too long to store", count));
  }
}

void archive::write_bytes(const std::byte* bytes, std::size_t size) {
  if (size < kChunk) {
    write_raw(bytes, size);
    return;
  }
  // Large blocks go straight to the sink instead of through the buffer.
  if (flush() && !sink_->write(bytes, size)) fail("the data could not be written");
}

bool archive::next_index(std::uint32_t& index) {
  if (map_count_ > kMaxMapCount) {
    fail("too many objects");
    return false;
  }
  index = map_count_++;
  return true;
}

void archive::write_index(std::uint32_t index, bool is_class) {
  if (index < kBigObjectTag) {
    write_u16(static_cast<std::uint16_t>(is_class ? (kClassTag | index) : index));
  } else {
    write_u16(kBigObjectTag);
    write_u32(is_class ? (kBigClassTag | index) : index);
  }
}

void archive::write_object(const archive_object* object) {
  if (failed()) return;
  if (!object) {
    write_u16(kNullTag);
    return;
  }
  if (auto found = stored_objects_.find(object); found != stored_objects_.end()) {
    write_index(found->second, false);
    return;
  }
  const archive_class& type = object->class_of();
  if (auto found = stored_classes_.find(&type); found != stored_classes_.end()) {
    write_index(found->second, true);
  } else {
    std::uint32_t index = 0;
    if (!next_index(index)) return;
    stored_classes_.emplace(&type, index);
    write_u16(kNewClassTag);
    write_u16(type.schema);
    write_u16(static_cast<std::uint16_t>(type.name.size()));
    write_raw(type.name.data(), type.name.size());
  }
  std::uint32_t index = 0;
  if (!next_index(index)) return;
  stored_objects_.emplace(object, index);
  if (depth_ >= kNestingLimit) {
    fail(format("objects nested more than %d deep", kNestingLimit));
    return;
  }
  ++depth_;
  // Serialize only writes while storing; it is one function for both ways.
  const_cast<archive_object*>(object)->Serialize(*this);
  --depth_;
}

// Loading.

std::uint64_t archive::remaining() const {
  return source_->remaining() + (buffer_.size() - buffer_at_);
}

bool archive::read_raw(void* bytes, std::size_t size) {
  auto* out = static_cast<std::byte*>(bytes);
  // An empty block may have no address at all.
  if (size == 0) return !failed();
  if (failed()) {
    std::memset(out, 0, size);
    return false;
  }
  if (size > remaining()) {
    fail(format("the data ends %llu bytes early",
                static_cast<unsigned long long>(size - remaining())));
    std::memset(out, 0, size);
    return false;
  }
  const std::size_t buffered = buffer_.size() - buffer_at_;
  if (size <= buffered) {
    std::memcpy(out, buffer_.data() + buffer_at_, size);
    buffer_at_ += size;
    return true;
  }
  std::memcpy(out, buffer_.data() + buffer_at_, buffered);
  out += buffered;
  size -= buffered;
  buffer_.clear();
  buffer_at_ = 0;
  if (size >= kChunk) {
    if (source_->read(out, size)) return true;
    fail("the data could not be read");
    return false;
  }
  const std::size_t ahead =
      static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, source_->remaining()));
  buffer_.resize(ahead);
  if (!source_->read(reinterpret_cast<std::byte*>(buffer_.data()), ahead)) {
    buffer_.clear();
    fail("the data could not be read");
    return false;
  }
  std::memcpy(out, buffer_.data(), size);
  buffer_at_ = size;
  return true;
}

std::uint8_t archive::read_u8() {
  unsigned char byte = 0;
  read_raw(&byte, 1);
  return byte;
}

std::uint16_t archive::read_u16() {
  unsigned char bytes[2] = {};
  read_raw(bytes, 2);
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::uint32_t archive::read_u32() {
  unsigned char bytes[4] = {};
  read_raw(bytes, 4);
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::string archive::read_string() {
  std::uint32_t length = read_u8();
  if (length == 0xFF) {
    length = read_u16();
    if (length == 0xFFFF) length = read_u32();
  }
  if (failed()) return {};
  if (length > remaining()) {
    fail(format("a text of %u bytes with only %llu bytes left", length,
                static_cast<unsigned long long>(remaining())));
    return {};
  }
  std::string text(length, '\0');
  read_raw(text.data(), length);
  return failed() ? std::string() : text;
}

std::uint32_t archive::read_count(std::size_t element_size) {
  std::uint32_t count = read_u16();
  if (count == 0xFFFF) count = read_u32();
  if (failed()) return 0;
  if (static_cast<std::uint64_t>(count) * element_size > remaining()) {
    fail(format("a count of %u with only %llu bytes left", count,
                static_cast<unsigned long long>(remaining())));
    return 0;
  }
  return count;
}

bool archive::read_bytes(std::byte* bytes, std::size_t size) {
  return read_raw(bytes, size);
}

const archive_class* archive::read_class(std::uint16_t tag, std::uint32_t value) {
  if (tag == kNewClassTag) {
    const std::uint16_t schema = read_u16();
    const std::uint16_t length = read_u16();
    if (failed()) return nullptr;
    if (length > remaining()) {
      fail(format("a class name of %u bytes with only %llu bytes left", length,
                  static_cast<unsigned long long>(remaining())));
      return nullptr;
    }
    std::string name(length, '\0');
    if (!read_raw(name.data(), length)) return nullptr;
    auto known = std::find_if(classes_.begin(), classes_.end(),
                              [&](const archive_class* type) { return type->name == name; });
    if (known == classes_.end()) {
      fail(format("an unknown class \"%s\"", printable(name).c_str()));
      return nullptr;
    }
    if ((*known)->schema != schema) {
      fail(format("class %s with schema %u instead of %u", printable(name).c_str(), schema,
                  (*known)->schema));
      return nullptr;
    }
    std::uint32_t index = 0;
    if (!next_index(index)) return nullptr;
    loaded_.push_back({*known, nullptr});
    return *known;
  }
  const std::uint32_t index = value & ~kBigClassTag;
  if (index == 0 || index >= loaded_.size()) {
    fail(format("a reference to class %u, which has not been read", index));
    return nullptr;
  }
  if (!loaded_[index].type) {
    fail(format("object %u where a class must be", index));
    return nullptr;
  }
  return loaded_[index].type;
}

std::unique_ptr<archive_object> archive::read_object(archive_object*& earlier) {
  earlier = nullptr;
  const std::uint16_t tag = read_u16();
  const std::uint32_t value =
      tag == kBigObjectTag ? read_u32()
                           : static_cast<std::uint32_t>(tag & kClassTag) << 16 | (tag & ~kClassTag);
  if (failed()) return nullptr;
  if (!(value & kBigClassTag)) {
    if (value == 0) return nullptr;
    if (value >= loaded_.size()) {
      fail(format("a reference to object %u, which has not been read", value));
    } else if (!loaded_[value].object) {
      fail(format("class %u where an object must be", value));
    } else {
      earlier = loaded_[value].object;
    }
    return nullptr;
  }
  const archive_class* type = read_class(tag, value);
  std::uint32_t index = 0;
  if (!type || !next_index(index)) return nullptr;
  if (depth_ >= kNestingLimit) {
    fail(format("objects nested more than %d deep", kNestingLimit));
    return nullptr;
  }
  std::unique_ptr<archive_object> object = type->create();
  loaded_.push_back({nullptr, object.get()});
  ++depth_;
  object->Serialize(*this);
  --depth_;
  if (failed()) return nullptr;
  return object;
}
