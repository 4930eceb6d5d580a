#include <array>

#include "chinese/converters.h"

namespace {

constexpr char kSO = 0x0E, kSI = 0x0F, kESC = 0x1B;

bool euc_byte(std::uint8_t byte) {
  return byte >= 0xA1 && byte <= 0xFE;
}

// The register (1 to 3) a designation final goes to.
int register_of(char final) {
  switch (final) {
    case 'A':
    case 'G':
    case '2':
      return 1;
    case '0':
    case 'H':
    case '3':
      return 2;
    default:
      return 3;
  }
}

class gb_encoder {
 public:
  explicit gb_encoder(std::string& output) : output_(output) {}

  void ascii(char byte) {
    if (shifted_) {
      output_ += kSI;
      shifted_ = false;
    }
    output_ += byte;
    if (byte == '\n') finals_ = {};
  }

  void character(char final, std::uint8_t first, std::uint8_t second) {
    int g = register_of(final);
    if (finals_[g] != final) {
      output_ += kESC;
      output_ += '$';
      output_ += "()*+"[g];
      output_ += final;
      finals_[g] = final;
    }
    if (g == 1) {
      if (!shifted_) output_ += kSO;
      shifted_ = true;
    } else {
      output_ += kESC;
      output_ += g == 2 ? 'N' : 'O';
    }
    output_ += static_cast<char>(first & 0x7F);
    output_ += static_cast<char>(second & 0x7F);
  }

  // Text ends in ASCII, so nothing joined after it is read as Chinese.
  void finish() {
    if (shifted_) output_ += kSI;
    shifted_ = false;
  }

 private:
  std::string& output_;
  bool shifted_ = false;
  std::array<char, 4> finals_{};  // by register; forgotten at every line feed
};

}  // namespace

std::size_t gb_to_iso2022cn(std::string_view input, std::string& output) {
  output.reserve(output.size() + input.size() + input.size() / 4);
  gb_encoder encoder(output);
  std::size_t substitutes = 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  std::size_t size = input.size();
  std::size_t i = 0;
  while (i < size) {
    std::uint8_t byte = bytes[i];
    if (byte < 0x80) {
      encoder.ascii(static_cast<char>(byte));
      ++i;
      continue;
    }
    char final = 'A';
    std::size_t pair = i;
    if (byte == 0x8E && i + 1 < size && (bytes[i + 1] == 0xA2 || bytes[i + 1] == 0xA3)) {
      final = bytes[i + 1] == 0xA2 ? '0' : '1';
      pair = i + 2;
    }
    if (pair + 1 < size && euc_byte(bytes[pair]) && euc_byte(bytes[pair + 1])) {
      encoder.character(final, bytes[pair], bytes[pair + 1]);
      i = pair + 2;
      continue;
    }
    // Not a character: one substitute, then go on from the byte after the
    // lead (or after the plane byte), which may begin a character itself.
    encoder.character('A', 0xA1, 0xF5);
    ++substitutes;
    i = pair == i ? i + 1 : pair;
  }
  encoder.finish();
  return substitutes;
}
