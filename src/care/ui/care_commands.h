#pragma once
// The care calendar command: Fiche > "À faire", and opening the tree chosen in it.
namespace tavo {

class App;

class CareCommands {
  public:
    explicit CareCommands(App& app) : app_(app) {}

    void showCalendar();  // Fiche > À faire

  private:
    App& app_;
};

}  // namespace tavo
