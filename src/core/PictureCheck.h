// A quick look at picture bytes before a decoder sees them: a file cut short
// (a download ended by a crash) must fail to load rather than show garbage.
#pragma once
#include <string_view>

namespace core {

// For data starting with "BM": the file and info headers are there and the
// file is as long as its header says and long enough for its pixel rows.
// Other data passes (its decoder checks it).
bool BitmapDataComplete(std::string_view bytes);

}  // namespace core
