#pragma once
// The commands every subsystem offers the main window's menus and buttons.
#include "cards/ui/card_commands.h"
#include "care/ui/care_commands.h"
#include "collection/ui/collection_commands.h"
#include "exchange/ui/exchange_commands.h"
#include "lists/ui/list_commands.h"
#include "photos/ui/gallery_commands.h"
#include "printing/ui/print_commands.h"
#include "safety/ui/safety_commands.h"
#include "translation/ui/language_commands.h"
#include "works/ui/works_commands.h"

namespace tavo {

struct Commands {
    explicit Commands(App& app)
        : cards(app),
          works(app),
          gallery(app),
          lists(app),
          printing(app),
          safety(app),
          language(app),
          care(app),
          exchange(app),
          collection(app) {}

    CardCommands cards;
    WorksCommands works;
    GalleryCommands gallery;
    ListCommands lists;
    PrintCommands printing;
    SafetyCommands safety;
    LanguageCommands language;
    CareCommands care;
    ExchangeCommands exchange;
    CollectionCommands collection;
};

}  // namespace tavo
