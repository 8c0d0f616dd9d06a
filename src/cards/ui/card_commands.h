#pragma once
// The tree card commands the main window's menu and buttons start: create a tree, show and
// change its card, open a tree, delete it, and its properties.
#include <string>

class QWidget;

namespace tavo {

class App;

class CardCommands {
  public:
    explicit CardCommands(App& app) : app_(app) {}

    void create();    // Fiche > Créer
    void showCard();  // "Fiche" button: change the open tree's card
    void open();      // Fiche > Ouvrir
    // Opens tree `id` in the main window, as a choice made in the chooser does.
    void openTree(const std::string& id);
    void remove(QWidget* parent);  // Fiche > Supprimer
    void showProperties();         // Fiche > Propriétés

  private:
    App& app_;
};

}  // namespace tavo
