#include "translation/ui/language_commands.h"

#include "app/app.h"
#include "translation/ui/language_chooser.h"

namespace tavo {

void LanguageCommands::choose() {
    app_.showModal(app_.windows.choixLangue);
}

}  // namespace tavo
