// libFuzzer target: The report loader over a file holding the input.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tarvolin::fuzz::loadReport(data, size);
}
