// libFuzzer entry for the records reader: see targets.h.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavo::fuzz::records({data, size});
    return 0;
}
