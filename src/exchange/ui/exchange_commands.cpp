#include "exchange/ui/exchange_commands.h"

#include "app/app.h"
#include "exchange/ui/export_window.h"
#include "exchange/ui/import_window.h"

namespace tavo {

void ExchangeCommands::exportCollection() {
    app_.showModal(app_.windows.exporter);
}

void ExchangeCommands::importCollection() {
    app_.showModal(app_.windows.importer);
}

}  // namespace tavo
