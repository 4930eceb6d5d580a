#include "chinese/iso2022cn_reader.h"

namespace {

constexpr std::uint8_t kSO = 0x0E, kSI = 0x0F, kESC = 0x1B;

bool graphic(std::uint8_t byte) {
  return byte >= 0x21 && byte <= 0x7E;
}

iso2022cn_item simple(iso2022cn_item::kind what, std::uint8_t byte) {
  return {what, byte, 0, 0, 0};
}

}  // namespace

bool iso2022cn_reader::next(iso2022cn_item& item) {
  while (!at_end()) {
    std::uint8_t byte = peek();
    if (byte == kSO || byte == kSI) {
      shifted_ = byte == kSO;
      ++position_;
      continue;
    }
    if (byte == kESC) {
      std::size_t start = position_;
      if (read_escape(item)) return true;
      if (position_ == start) return false;  // the text ended inside it
      continue;
    }
    ++position_;
    if (byte >= 0x80) {
      item = simple(iso2022cn_item::kind::broken, byte);
      return true;
    }
    if (!graphic(byte)) {
      item = simple(iso2022cn_item::kind::control, byte);
      return true;
    }
    char designation = shifted_ ? g1_ : g0_;
    if (!shifted_ && designation == 0) {
      item = simple(iso2022cn_item::kind::ascii, byte);
      return true;
    }
    if (designation == 0 || at_end() || !graphic(peek())) {
      item = simple(iso2022cn_item::kind::broken, byte);
      return true;
    }
    item = {iso2022cn_item::kind::pair, byte, peek(), designation, 0};
    ++position_;
    return true;
  }
  return false;
}

// Reads the escape sequence at the current position. Returns true with an
// item (a single-shift pair or an unknown escape), or false after a
// designation; the position stays put when the text ends inside the sequence.
bool iso2022cn_reader::read_escape(iso2022cn_item& item) {
  std::size_t start = position_;
  std::size_t left = text_.size() - position_;
  if (left < 2) return false;
  std::uint8_t kind = peek(1);
  if (kind == 'N' && g2_) return read_single_shift(g2_, 2, item);
  if (kind == 'O' && g3_) return read_single_shift(g3_, 3, item);
  if (kind == '(') {
    if (left < 3) return false;
    if (peek(2) == 'B') {
      g0_ = 0;
      position_ += 3;
      return false;
    }
  }
  if (kind == '$') {
    if (left < 3) return false;
    std::uint8_t which = peek(2);
    if (which == 'A') {
      g0_ = 'A';
      position_ += 3;
      return false;
    }
    if (which == '(' || which == ')' || which == '*' || which == '+') {
      if (left < 4) return false;
      std::uint8_t final = peek(3);
      if (final >= '0' && final <= '~') {
        char designation = static_cast<char>(final);
        if (which == '*') {
          g2_ = designation;
        } else if (which == '+') {
          g3_ = designation;
        } else {
          g1_ = designation;
          if (which == '(') shifted_ = true;
        }
        position_ += 4;
        return false;
      }
    }
  }
  skip_unknown_escape();
  if (position_ == start) return false;
  item = simple(iso2022cn_item::kind::unknown_escape, kESC);
  return true;
}

// ESC N or ESC O and the pair they reach; a pair that is not there makes the
// single shift a broken character, and what follows is read again.
bool iso2022cn_reader::read_single_shift(char designation, int shift, iso2022cn_item& item) {
  position_ += 2;
  if (text_.size() - position_ >= 2 && graphic(peek()) && graphic(peek(1))) {
    item = {iso2022cn_item::kind::pair, peek(), peek(1), designation, shift};
    position_ += 2;
    return true;
  }
  if (!at_end() && graphic(peek())) ++position_;
  item = simple(iso2022cn_item::kind::broken, kESC);
  return true;
}

// ESC, its intermediate bytes (0x20 to 0x2F) and its final byte (0x30 to
// 0x7E). A byte of neither kind ends the sequence without belonging to it.
// Leaves the position at the start when the text ends before the final.
void iso2022cn_reader::skip_unknown_escape() {
  std::size_t end = position_ + 1;
  while (end < text_.size()) {
    auto byte = static_cast<std::uint8_t>(text_[end]);
    if (byte >= 0x20 && byte <= 0x2F) {
      ++end;
      continue;
    }
    if (byte >= 0x30 && byte <= 0x7E) ++end;
    position_ = end;
    return;
  }
}
