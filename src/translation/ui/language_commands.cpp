#include "translation/ui/language_commands.h"

#include "translation/ui/language_chooser.h"
#include "ui_kit/app.h"

namespace tavo {

void LanguageCommands::choose() {
    app_.showModal(app_.windows.choixLangue);
}

}  // namespace tavo
