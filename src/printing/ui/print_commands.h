#pragma once
// The printout command of the menu "Fiche".
namespace tavo {

class App;

class PrintCommands {
  public:
    explicit PrintCommands(App& app) : app_(app) {}

    // Fiche > Imprimer: the print dialog for the open tree.
    void print();

  private:
    App& app_;
};

}  // namespace tavo
