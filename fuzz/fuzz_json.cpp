// libFuzzer entry for the collection import (JSON reader and import checks): see targets.h.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavo::fuzz::collectionDocument({data, size});
    return 0;
}
