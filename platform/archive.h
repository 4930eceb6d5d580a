#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The object archive: numbers, strings, counts and references to objects,
// laid out byte for byte as the desktop framework that first wrote Kestrel's
// mailbox files laid them out, so those files read here and ours read there.
//
// Numbers are little-endian. A string is its length (one byte below 255,
// else 0xFF and 16 bits below 0xFFFE, else 0xFF 0xFFFF and 32 bits) and its
// bytes. A count is 16 bits below 0xFFFF, else 0xFFFF and 32 bits. An object
// reference is a 16-bit tag: 0 for none; 0xFFFF, schema, name length and name
// for the first object of a class; 0x8000 | class index for a later object of
// that class; the object's index for an object written before. Classes and
// objects share one index counter starting at 1; an index of 0x7FFF or more
// goes as 0x7FFF and 32 bits (with 0x80000000 marking a class).
//
// A loading archive checks everything it reads. The first fault stops it:
// every later read gives zero, empty or null, and error() tells what it was.

class archive;

class archive_object;

// What the archive knows of a class: its stored name, its schema number and
// how to make an empty object of it while reading.
struct archive_class {
  std::string_view name;
  std::uint16_t schema;
  std::unique_ptr<archive_object> (*create)();
};

// The base of every class that travels through an archive.
class archive_object {
 public:
  virtual ~archive_object() = default;
  virtual const archive_class& class_of() const = 0;
  // Writes the object's fields when the archive is storing, reads them otherwise.
  virtual void Serialize(archive& ar) = 0;
};

// Where a storing archive sends its bytes; false when they could not be written.
class archive_sink {
 public:
  virtual ~archive_sink() = default;
  virtual bool write(const std::byte* bytes, std::size_t size) = 0;
};

// Where a loading archive takes its bytes from.
class archive_source {
 public:
  virtual ~archive_source() = default;
  // The bytes not yet read.
  virtual std::uint64_t remaining() const = 0;
  // Reads exactly size bytes; false when they could not be read.
  virtual bool read(std::byte* bytes, std::size_t size) = 0;
};

// A source over bytes in memory (which must outlive it).
class archive_memory_source : public archive_source {
 public:
  explicit archive_memory_source(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t remaining() const override { return bytes_.size(); }
  bool read(std::byte* bytes, std::size_t size) override;

 private:
  std::string_view bytes_;
};

// A sink that collects the bytes in memory.
class archive_memory_sink : public archive_sink {
 public:
  bool write(const std::byte* bytes, std::size_t size) override;
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

class archive {
 public:
  // Objects may nest this deep and no deeper, in writing as in reading, so a
  // stored form never holds what cannot be read back.
  static constexpr int kNestingLimit = 500;

  // A storing archive writing to the sink.
  explicit archive(archive_sink& sink);
  // A loading archive reading from the source, knowing the classes given.
  archive(archive_source& source, std::span<const archive_class* const> classes);
  archive(const archive&) = delete;
  archive& operator=(const archive&) = delete;

  bool storing() const { return sink_ != nullptr; }
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  // Records the first fault; everything after it is skipped.
  void fail(std::string reason);

  // Storing. Bytes are buffered; flush() passes them on.
  void write_u8(std::uint8_t value);
  void write_u16(std::uint16_t value);
  void write_u32(std::uint32_t value);
  void write_string(std::string_view text);
  void write_count(std::size_t count);
  void write_bytes(const std::byte* bytes, std::size_t size);
  void write_object(const archive_object* object);
  // False (and failed) when the sink refused the bytes.
  bool flush();

  // Loading.
  std::uint8_t read_u8();
  std::uint16_t read_u16();
  std::uint32_t read_u32();
  std::string read_string();
  // A count of things each stored in at least element_size bytes; a count the
  // bytes left cannot hold is a fault.
  std::uint32_t read_count(std::size_t element_size = 2);
  bool read_bytes(std::byte* bytes, std::size_t size);
  // Reads an object reference. The null tag gives null. A new object is made
  // from its class, read, and handed over. A reference to an object read
  // before gives null and that object in `earlier` (owned by whoever took it).
  std::unique_ptr<archive_object> read_object(archive_object*& earlier);
  std::uint64_t remaining() const;

  archive& operator<<(std::uint8_t value) {
    write_u8(value);
    return *this;
  }
  archive& operator<<(std::uint16_t value) {
    write_u16(value);
    return *this;
  }
  archive& operator<<(std::uint32_t value) {
    write_u32(value);
    return *this;
  }
  archive& operator<<(std::string_view text) {
    write_string(text);
    return *this;
  }
  archive& operator>>(std::uint8_t& value) {
    value = read_u8();
    return *this;
  }
  archive& operator>>(std::uint16_t& value) {
    value = read_u16();
    return *this;
  }
  archive& operator>>(std::uint32_t& value) {
    value = read_u32();
    return *this;
  }
  archive& operator>>(std::string& text) {
    text = read_string();
    return *this;
  }

 private:
  // One entry of the loading table: a class or an object, by index.
  struct loaded {
    const archive_class* type = nullptr;
    archive_object* object = nullptr;
  };

  void write_raw(const void* bytes, std::size_t size);
  bool read_raw(void* bytes, std::size_t size);
  bool fill(std::size_t wanted);
  void write_index(std::uint32_t index, bool is_class);
  bool next_index(std::uint32_t& index);
  const archive_class* read_class(std::uint16_t tag, std::uint32_t value);

  archive_sink* sink_ = nullptr;
  archive_source* source_ = nullptr;
  std::span<const archive_class* const> classes_;
  std::string error_;
  std::string buffer_;           // storing: bytes not yet passed on; loading: bytes read ahead
  std::size_t buffer_at_ = 0;    // loading: the next unread byte of the buffer
  std::uint32_t map_count_ = 1;  // the next index to hand out
  int depth_ = 0;
  std::unordered_map<const archive_object*, std::uint32_t> stored_objects_;
  std::unordered_map<const archive_class*, std::uint32_t> stored_classes_;
  std::vector<loaded> loaded_{loaded{}};  // index 0 is the null object
};

// Reads a reference to an object that the caller alone will own, of class T
// or derived from it: none, or a new object. A reference to an object read
// before, or an object of another class, is a fault named after `what`.
template <class T>
std::unique_ptr<T> archive_read_owned(archive& ar, std::string_view what) {
  archive_object* earlier = nullptr;
  std::unique_ptr<archive_object> object = ar.read_object(earlier);
  if (earlier) {
    ar.fail(std::string(what) + " stored twice");
    return nullptr;
  }
  if (!object) return nullptr;
  if (T* typed = dynamic_cast<T*>(object.get())) {
    object.release();
    return std::unique_ptr<T>(typed);
  }
  ar.fail("a " + std::string(object->class_of().name) + " where " + std::string(what) + " must be");
  return nullptr;
}
