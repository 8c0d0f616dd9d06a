#pragma once
// The gallery command of the main window's menu and "Galerie" button.
namespace tavo {

class App;

class GalleryCommands {
  public:
    explicit GalleryCommands(App& app) : app_(app) {}

    // Shows the open tree's gallery viewer.
    void show();
    // Galerie > Imprimer la croissance: the growth sheet of the open tree.
    void printGrowth();

  private:
    App& app_;
};

}  // namespace tavo
