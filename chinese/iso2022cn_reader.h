#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// One thing read from ISO-2022-CN text.
struct iso2022cn_item {
  enum class kind : std::uint8_t {
    control,         // a byte below 0x21 or 0x7F (blank, tab, line ends included)
    ascii,           // a byte from 0x21 to 0x7E while ASCII is in force
    pair,            // two bytes from 0x21 to 0x7E of a double-byte set
    broken,          // a byte of 0x80 or above, half a pair, or a byte of no set
    unknown_escape,  // an escape sequence that is not understood
  };
  kind what;
  std::uint8_t first;   // the byte (control, ascii, broken) or first byte of a pair
  std::uint8_t second;  // second byte of a pair
  char charset;         // a pair's designation final: 'A' GB 2312, 'G' CNS plane 1, ...
  int single_shift;     // 2 or 3 when the pair came through ESC N or ESC O, else 0
};

// Walks ISO-2022-CN text keeping the shift state and the designations.
//   SO, SI       shift to G1, back to G0
//   ESC $ A      GB 2312 in G0 (the older two-byte form)
//   ESC ( B      ASCII in G0 again
//   ESC $ ( F    F in G1, shifted at once (the older form, without SO)
//   ESC $ ) F    F in G1
//   ESC $ * F    F in G2, reached by ESC N for the one pair that follows
//   ESC $ + F    F in G3, reached by ESC O for the one pair that follows
// Designations and shift state carry across lines. A byte that cannot belong
// to the sequence or pair being read is never swallowed: it is read again on
// its own, so a broken character cannot take a line end with it.
class iso2022cn_reader {
 public:
  explicit iso2022cn_reader(std::string_view text) : text_(text) {}

  // The next item; false at the end of the text, or when it ends inside an
  // escape sequence.
  bool next(iso2022cn_item& item);

 private:
  bool read_escape(iso2022cn_item& item);
  bool read_single_shift(char designation, int shift, iso2022cn_item& item);
  void skip_unknown_escape();
  bool at_end() const { return position_ >= text_.size(); }
  std::uint8_t peek(std::size_t ahead = 0) const {
    return static_cast<std::uint8_t>(text_[position_ + ahead]);
  }

  std::string_view text_;
  std::size_t position_ = 0;
  bool shifted_ = false;
  char g0_ = 0;  // 0: ASCII
  char g1_ = 0;  // 0: nothing designated yet
  char g2_ = 0;
  char g3_ = 0;
};
