// libFuzzer target: Configuration read, write and read again.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tarvolin::fuzz::configRoundTrip(data, size);
}
