#pragma once
// The collection's way out and back in, from the menu "Options": export and import.
namespace tavo {

class App;

class ExchangeCommands {
  public:
    explicit ExchangeCommands(App& app) : app_(app) {}

    void exportCollection();  // Options > Exporter...
    void importCollection();  // Options > Importer...

  private:
    App& app_;
};

}  // namespace tavo
