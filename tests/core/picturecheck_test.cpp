#include "PictureCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A 24-bit BI_RGB bitmap of w x h with its pixel rows.
std::string Bitmap(int w, int h) {
  int stride = ((w * 24 + 31) / 32) * 4;
  int size = 54 + stride * h;
  std::string b(static_cast<std::size_t>(size), '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(at + i)] = static_cast<char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(size));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  return b;
}

TEST(BitmapDataComplete, CutFilesFail) {
  std::string whole = Bitmap(100, 20);
  struct Case {
    std::string bytes;
    bool complete;
  } cases[] = {
      {whole, true},
      {whole + "extra", true},
      {whole.substr(0, whole.size() - 1), false},
      {whole.substr(0, 54), false},
      {whole.substr(0, 54 + (whole.size() - 54) / 2), false},
      {whole.substr(0, 20), false},
      {"BM", false},
      {"GIF89a", true},  // not a bitmap: left to its decoder
      {"", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::BitmapDataComplete(c.bytes), c.complete) << "size " << c.bytes.size();
  }
}

TEST(BitmapDataComplete, TopDownBitmapsCountTheirRows) {
  std::string b = Bitmap(10, 11);
  for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(22 + i)] = static_cast<char>((-11) >> (8 * i));
  EXPECT_TRUE(core::BitmapDataComplete(b));
  EXPECT_FALSE(core::BitmapDataComplete(b.substr(0, b.size() - 4)));
}

}  // namespace
