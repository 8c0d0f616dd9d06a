#pragma once
// The collection command of the main window's menu: the table of every tree and its search.
namespace tavo {

class App;

class CollectionCommands {
  public:
    explicit CollectionCommands(App& app) : app_(app) {}

    // Fiche > Collection: shows the collection window, or brings it to the front when it is
    // already open.
    void show();

  private:
    App& app_;
};

}  // namespace tavo
