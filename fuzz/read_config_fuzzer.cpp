// libFuzzer target: readConfiguration and splitConfigLine over the input.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tarvolin::fuzz::readConfig(data, size);
}
