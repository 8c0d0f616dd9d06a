#pragma once
// Shows the busy pointer for the lifetime of the object, restoring the previous one after.

namespace tavo {

class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace tavo
