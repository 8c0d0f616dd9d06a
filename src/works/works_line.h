#pragma once
// One works line: 318 bytes in FICHES/<id>.TRX.
#include <string>

namespace tavo {

struct WorksLine {
    std::string date;     // 0, capacity 10: dd/mm/yyyy as typed
    std::string type;     // 11, capacity 50: intervention type
    std::string comment;  // 62, capacity 255

    static constexpr std::size_t kSize = 318;
    bool operator==(const WorksLine&) const = default;
};

}  // namespace tavo
