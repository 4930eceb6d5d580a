#include "chinese/iso2022cn_writer.h"

namespace {

constexpr char kSO = 0x0E, kSI = 0x0F, kESC = 0x1B;

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

}  // namespace

char* iso2022cn_writer::ascii(char* out, std::uint8_t byte) {
  if (shifted_) *out++ = kSI;
  shifted_ = false;
  *out++ = static_cast<char>(byte);
  if (byte == '\n') finals_ = {};
  return out;
}

char* iso2022cn_writer::character(char* out, char final, std::uint8_t first, std::uint8_t second) {
  int g = register_of(final);
  if (finals_[g] != final) {
    // A reader may not take a new set for the shifted register while it is
    // in use (glibc's does not), so the shift ends first.
    if (g == 1 && shifted_) *out++ = kSI;
    if (g == 1) shifted_ = false;
    *out++ = kESC;
    *out++ = '$';
    *out++ = "()*+"[g];
    *out++ = final;
    finals_[g] = final;
  }
  if (g == 1) {
    if (!shifted_) *out++ = kSO;
    shifted_ = true;
  } else {
    *out++ = kESC;
    *out++ = g == 2 ? 'N' : 'O';
  }
  *out++ = static_cast<char>(first & 0x7F);
  *out++ = static_cast<char>(second & 0x7F);
  return out;
}

char* iso2022cn_writer::finish(char* out) {
  if (shifted_) *out++ = kSI;
  shifted_ = false;
  return out;
}
