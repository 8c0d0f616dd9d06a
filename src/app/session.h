#pragma once
// The state shared between windows: set by one window, read by the window it shows next.
// main() owns the one instance and hands it to every window.
#include <filesystem>
#include <string>

#include "cards/card_record.h"

namespace tavo {

struct Session {
    std::filesystem::path dataFolder;  // the current directory, taken again at every activation
    std::string languageName;
    std::string openTreeId;  // 14 digits
    TreeCard currentCard;
    char cardFormMode = 'C';     // 'C' create, 'M' modify
    char worksEditorMode = 'C';  // 'C' create, '2' change or delete
    int selectedLine = 0;        // 1-based works line
    std::string previousLineDate;
    char photoEditorMode = 'C';  // 'C' add, 'M' browse and change
    int selectedPhoto = 0;       // 1-based position in the gallery
};

}  // namespace tavo
