#pragma once
// The works log commands of the main window: add a line, change or delete one.
class QWidget;

namespace tavo {

class App;

class WorksCommands {
  public:
    explicit WorksCommands(App& app) : app_(app) {}

    // "Ajouter une ligne" and the menu's "Ligne".
    void addLine();
    // A double click on the works grid: the editor on works line `line` (1-based).
    void changeLine(QWidget* parent, int line);

  private:
    App& app_;
};

}  // namespace tavo
