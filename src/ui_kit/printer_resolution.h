#pragma once
// What the printing service says about one of its printers, beyond what Qt Print Support tells.
#include <string>

namespace tavo {

// The resolution, in dots per inch, that the printer `name` is set to print at (its queue's
// default); 0 when the printing service does not know the printer or does not say.
int printerDefaultResolution(const std::string& name);

}  // namespace tavo
