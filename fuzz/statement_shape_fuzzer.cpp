// libFuzzer target: the shape of the input as a statement.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return tarvolin::fuzz::statementShapes(data, size);
}
