#pragma once
// The tree card: one record of 1234 bytes in FICHES/<id>.SIG.
#include <filesystem>
#include <string>

#include "common/fixed_string.h"

namespace tavo {

struct TreeCard {
    std::string creationDate;     // 0, capacity 10
    std::string treeName;         // 11, capacity 100
    std::string botanicalName;    // 112, capacity 100
    std::string cultivar;         // 213, capacity 100
    std::string commonName;       // 314, capacity 100
    std::string englishName;      // 415, capacity 100
    std::string provenance;       // 516, capacity 100
    std::string acquisitionDate;  // 617, capacity 10
    std::string age;              // 628, capacity 3
    std::string ageEstimated;     // 632, capacity 1: "O" or "N"
    std::string state;            // 634, capacity 40
    std::string price;            // 675, capacity 15
    std::string notes;            // 691 + 942, capacity 250 + 250, joined
    std::string reserved;         // 1193, capacity 40

    static constexpr std::size_t kSize = 1234;
};

}  // namespace tavo
