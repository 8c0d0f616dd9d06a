#include "exchange/ui/exchange_commands.h"

#include "exchange/ui/export_window.h"
#include "exchange/ui/import_window.h"
#include "ui_kit/app.h"

namespace tavo {

void ExchangeCommands::exportCollection() {
    app_.showModal(app_.windows.exporter);
}

void ExchangeCommands::importCollection() {
    app_.showModal(app_.windows.importer);
}

}  // namespace tavo
