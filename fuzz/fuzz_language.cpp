// libFuzzer entry for the language reader: see targets.h.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavo::fuzz::languageFile({data, size});
    return 0;
}
