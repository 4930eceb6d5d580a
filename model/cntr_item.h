#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/embedded_object.h"
#include "platform/archive.h"
#include "platform/memory_block.h"

class CVelmarCntrItem;

// Where an item sits, in hundredths of an inch with y growing upward.
struct item_rect {
  std::int32_t left = 10, top = -10, right = 10, bottom = -10;
  bool operator==(const item_rect&) const = default;
};
// An object's size in hundredths of a millimetre.
struct item_extent {
  std::int32_t cx = 0, cy = 0;
  bool operator==(const item_extent&) const = default;
};

// What an item needs of the program around it.
class item_site {
 public:
  // The document holding the item has changed.
  virtual void document_changed() = 0;
  // Shows a message with an OK button.
  virtual void tell(const std::string& message) = 0;
  // Copies the item to the clipboard, offering its stored form under the
  // private format; false when the copy fails.
  virtual bool copy_to_clipboard(const CVelmarCntrItem& item, const std::string& stored_form) = 0;
  // The private format's data on the clipboard; nothing when it is not there.
  virtual std::optional<std::string> private_clipboard_data() = 0;

 protected:
  ~item_site() = default;
};

// An embedded picture, sound or other object held by a mailbox document,
// with where it sits and how large it is; and its way to and from the bytes
// a letter carries, one for each operating environment (0 Windows 3.x,
// 1 Windows 95, 2 Windows NT).
class CVelmarCntrItem : public archive_object {
 public:
  static const archive_class runtime_class;

  explicit CVelmarCntrItem(item_site* site = nullptr) : site_(site) {}

  const archive_class& class_of() const override { return runtime_class; }
  // The stored form: the object (write_object_data, in the layout of
  // `environment`), then 0x5500, the position and the extent. A wrong marker
  // is an archive fault.
  void Serialize(archive& ar) override;
  // The stored form laid out for an environment's getters.
  std::string stored_form(int layout) const;

  void set_site(item_site* site) { site_ = site; }
  const std::optional<embedded_object>& object() const { return object_; }
  // Gives the item its object (made, loaded or changed by its program).
  void set_object(embedded_object object) { object_ = std::move(object); }
  // The object's size as its program reports it; nothing for an object
  // without a program, or no object.
  std::optional<item_extent> object_extent() const;

  const std::string& display_name() const { return display_name_; }
  // Keeps the first 99 bytes.
  void set_display_name(std::string_view name);

  // After the program reports a change of the object: resizes the position
  // to the new extent.
  void update_extent();
  // The program changed the object's content: the document is modified and
  // the extent updated.
  void OnChange();
  // The item moved while being edited in place.
  void OnChangeItemPosition(const item_rect& position);
  item_rect OnGetItemPosition();

  // The bytes a letter carries for the object: a block, or nothing after a
  // message. kind 0 the stored form, 1 the bitmap file, 2 the wave file.
  std::optional<memory_block> Get(int environment, int kind);
  std::optional<memory_block> GetBitmap(int environment);
  std::optional<memory_block> GetWave(int environment);
  std::optional<memory_block> GetBitmap311();
  std::optional<memory_block> GetBitmap95();
  std::optional<memory_block> GetBitmapNT();
  std::optional<memory_block> GetWave311();
  std::optional<memory_block> GetWave95();
  std::optional<memory_block> GetWaveNT();
  std::optional<memory_block> GetNative();
  // Makes the object from a letter's bytes; false after a message, or when
  // the system cannot make an object of them.
  bool Put(std::string_view data, int environment, int kind);
  bool PutBitmap(std::string_view data, int environment);
  bool PutWave(std::string_view data, int environment);
  bool PutBitmap311(std::string_view data);
  bool PutBitmap95(std::string_view data);
  bool PutBitmapNT(std::string_view data);
  bool PutWave311(std::string_view data);
  bool PutWave95(std::string_view data);
  bool PutWaveNT(std::string_view data);
  bool PutNative(std::string_view data);

  std::uint16_t GetMimeType() const;
  std::string GetSubtype() const;
  std::string GetTypeName() const;

  item_rect position;
  item_extent extent;
  // The environment whose getters the stored form is laid out for.
  int environment = 1;
  // True while the object is shown in its program's window.
  bool open = false;

 private:
  // Algorithm 1 and the cutting of the file out of the stored data, through
  // the environment's scratch files.
  std::optional<memory_block> take_file(int environment, int kind);
  std::optional<std::string> stored_data();
  bool make_from_file(std::string_view data, int environment, int kind);
  void tell(const std::string& message);

  item_site* site_;
  std::optional<embedded_object> object_;
  std::string display_name_;
};

// The messages of the getters and creators.
inline constexpr const char* kClipboardCopyFailed = "CLIPBOARD COPY FAILED";
inline constexpr const char* kNoPrivateFormat = "hcopy fail";
