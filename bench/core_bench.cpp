// Benchmarks of the portable logic, each beside a baseline that touches the
// same memory in the plainest way. Run: <build>/bench/qv_bench
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "AdList.h"
#include "ShadowPixels.h"

namespace {

// ---- Ad list ------------------------------------------------------------------

// A delivered list as the server sends it: kinds 1, 2 and 3 in turn, with
// double-byte text, until `entries` entries or `maxBytes` bytes.
std::string MakeList(std::size_t entries, std::size_t maxBytes) {
  std::string s = "20260501|3|\r\n";
  const std::string gbk = "\xC0\xBC\xCA\xE0\xC2\xE9\xBD\xAB\xD3\xCE\xCF\xB7";  // 6 double-byte characters
  for (std::size_t i = 0; i < entries; ++i) {
    std::string block = "*\r\n";
    const std::string n = std::to_string(i);
    switch (i % 3) {
      case 0:
        block += "1\r\n" + gbk + " link text " + n + "\r\n" + gbk + " tooltip\r\nhttp://ads.example/go?id=" + n + "\r\n";
        break;
      case 1:
        block += "2\r\npic" + n + ".jpg|http://ads.example/pic/" + n + ".jpg\r\ntooltip " + gbk +
                 "\r\nhttp://ads.example/click/" + n + "\r\n";
        break;
      default:
        block += "3\r\n" + gbk + gbk + " plain " + n + "\r\ntooltip\r\n\r\n";
        break;
    }
    if (s.size() + block.size() + 3 > maxBytes) break;
    s += block;
  }
  s += "$\r\n";
  return s;
}

const std::string& ListMiB() {
  static const std::string list = MakeList(SIZE_MAX, 1u << 20);
  return list;
}

const std::string& List200() {
  static const std::string list = MakeList(200, SIZE_MAX);
  return list;
}

void ParseList(benchmark::State& state, const std::string& bytes) {
  std::size_t entries = 0;
  for (auto _ : state) {
    const std::vector<std::string> lines = core::SplitLines(bytes);
    std::vector<core::TADRec> list = core::ParseAdEntries(lines);
    entries = list.size();
    benchmark::DoNotOptimize(list.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["entries"] = static_cast<double>(entries);
}

void ByteSum(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    const char* p = bytes.data();
    benchmark::DoNotOptimize(p);  // the compiler must read the bytes again each time
    uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) sum += static_cast<unsigned char>(p[i]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_ParseList_1MiB(benchmark::State& state) { ParseList(state, ListMiB()); }
void BM_Baseline_ByteSum_1MiB(benchmark::State& state) { ByteSum(state, ListMiB()); }
void BM_ParseList_200Entries(benchmark::State& state) { ParseList(state, List200()); }
void BM_Baseline_ByteSum_200Entries(benchmark::State& state) { ByteSum(state, List200()); }

BENCHMARK(BM_ParseList_1MiB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_ByteSum_1MiB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseList_200Entries)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_ByteSum_200Entries)->Unit(benchmark::kMicrosecond);

// ---- Shadow image -------------------------------------------------------------

constexpr int kFormW = 670, kFormH = 429;
constexpr int kBitmapW = kFormW + 2 * core::kShadowMargin;  // 702
constexpr int kBitmapH = kFormH + 2 * core::kShadowMargin;  // 461

// Rectangles of a rounded-rectangle region like CreateRoundRectRgn(1, 1, 670,
// 429, 9, 9): the corner rows are inset by 4, 2, 1 and 1 pixels, the rows
// between them are one rectangle.
std::vector<core::IntRect> RoundedRegion() {
  const int left = 1, top = 1, right = kFormW, bottom = kFormH;
  const int insets[] = {4, 2, 1, 1};
  const int corner = static_cast<int>(std::size(insets));
  std::vector<core::IntRect> rects;
  for (int i = 0; i < corner; ++i) rects.push_back({left + insets[i], top + i, right - insets[i], top + i + 1});
  rects.push_back({left, top + corner, right, bottom - corner});
  for (int i = corner - 1; i >= 0; --i)
    rects.push_back({left + insets[i], bottom - 1 - i, right - insets[i], bottom - i});
  return rects;
}

struct Bitmap {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(static_cast<std::size_t>(kBitmapW) * kBitmapH * 4);
  core::PixelView View() { return core::PixelView{bytes.data(), kBitmapW, kBitmapH}; }
};

void BM_ShadowImage_670x429(benchmark::State& state) {
  const std::vector<core::IntRect> region = RoundedRegion();
  const std::vector<core::IntRect> outline = core::ShadowOutline(region, kFormW, kFormH, false, 0, 0);
  Bitmap bmp;
  for (auto _ : state) {
    core::BuildShadowImage(bmp.View(), outline, 10582346);
    benchmark::DoNotOptimize(bmp.bytes.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bmp.bytes.size()));
  state.counters["rects"] = static_cast<double>(outline.size());
}

void BM_Baseline_ThreePasses_702x461(benchmark::State& state) {
  Bitmap bmp;
  for (auto _ : state) {
    for (int pass = 0; pass < 3; ++pass) {
      uint8_t* p = bmp.bytes.data();
      benchmark::DoNotOptimize(p);
      for (std::size_t i = 0; i < bmp.bytes.size(); ++i) p[i] = static_cast<uint8_t>(p[i] + 1);
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bmp.bytes.size()));
}

// The parts of the shadow image, for the record.
void BM_ShadowBlurOnly_702x461(benchmark::State& state) {
  Bitmap bmp;
  for (auto _ : state) {
    core::BlurBitmap(bmp.View(), core::kShadowBlurPasses);
    benchmark::ClobberMemory();
  }
}

void BM_ShadowLayerOnly_702x461(benchmark::State& state) {
  Bitmap bmp;
  for (auto _ : state) {
    core::UpdateLayerPixels(bmp.View(), 10582346, true);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_ShadowImage_670x429)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_ThreePasses_702x461)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShadowBlurOnly_702x461)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShadowLayerOnly_702x461)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
