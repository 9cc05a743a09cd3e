#include "PictureCheck.h"

#include <cstdint>
#include <cstdlib>

namespace core {
namespace {

uint32_t U32(std::string_view b, std::size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

uint16_t U16(std::string_view b, std::size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}

}  // namespace

bool BitmapDataComplete(std::string_view b) {
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') return true;
  constexpr std::size_t kFileHeader = 14;
  if (b.size() < kFileHeader + 12) return false;
  uint64_t declared = U32(b, 2);
  uint64_t pixelsAt = U32(b, 10);
  uint32_t infoSize = U32(b, 14);
  if (infoSize < 12 || b.size() < kFileHeader + infoSize) return false;
  if (declared > b.size() || pixelsAt > b.size()) return false;
  int64_t width, height;
  unsigned bits, compression = 0;
  if (infoSize == 12) {  // OS/2 core header
    width = U16(b, 18);
    height = U16(b, 20);
    bits = U16(b, 24);
  } else {
    width = static_cast<int32_t>(U32(b, 18));
    height = static_cast<int32_t>(U32(b, 22));
    bits = U16(b, 28);
    compression = U32(b, 30);
  }
  if (width <= 0 || height == 0 || bits == 0) return false;
  if (compression != 0 && compression != 3) return true;  // compressed rows vary in length
  uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  uint64_t rows = static_cast<uint64_t>(std::llabs(height));
  return pixelsAt + stride * rows <= b.size();
}

}  // namespace core
