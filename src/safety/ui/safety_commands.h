#pragma once
// The data safety commands of the menu "Options": backup, restore and the tree archive.
class QWidget;

namespace tavo {

class App;

class SafetyCommands {
  public:
    explicit SafetyCommands(App& app) : app_(app) {}

    void backup();                  // Options > Données > Sauvegarder
    void restore();                 // Options > Données > Restaurer
    void check();                   // Options > Données > Vérifier: the checker window
    void archive(QWidget* parent);  // Options > Fichier archive: the open tree as a ZIP

  private:
    App& app_;
};

}  // namespace tavo
