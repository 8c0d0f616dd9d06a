#pragma once
// The state shared between windows: set by one window, read by the window it shows next.
// main() owns the one instance and hands it to every window.
#include <filesystem>
#include <string>

#include "cards/card_record.h"

namespace tavo {

enum class CardFormMode { Create, Modify };
enum class WorksEditorMode { Create, Change };  // Change: change or delete the selected line
enum class PhotoEditorMode { Add, Browse };     // Browse: browse and change the gallery

struct Session {
    std::filesystem::path dataFolder;  // the current directory, taken again at every activation
    std::string languageName;
    std::string openTreeId;  // 14 digits
    TreeCard currentCard;
    CardFormMode cardFormMode = CardFormMode::Create;
    WorksEditorMode worksEditorMode = WorksEditorMode::Create;
    int selectedLine = 0;  // 1-based works line
    std::string previousLineDate;
    PhotoEditorMode photoEditorMode = PhotoEditorMode::Add;
    int selectedPhoto = 0;  // 1-based position in the gallery
};

}  // namespace tavo
