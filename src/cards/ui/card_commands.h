#pragma once
// The tree card commands the main window's menu and buttons start: create a tree, show and
// change its card, open a tree, delete it, and its properties.
class QWidget;

namespace tavo {

class App;

class CardCommands {
  public:
    explicit CardCommands(App& app) : app_(app) {}

    void create();                 // Fiche > Créer
    void showCard();               // "Fiche" button: change the open tree's card
    void open();                   // Fiche > Ouvrir
    void remove(QWidget* parent);  // Fiche > Supprimer
    void showProperties();         // Fiche > Propriétés

  private:
    App& app_;
};

}  // namespace tavo
