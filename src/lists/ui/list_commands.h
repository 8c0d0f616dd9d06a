#pragma once
// The reference list commands of the menu "Paramètres".
namespace tavo {

class App;

class ListCommands {
  public:
    explicit ListCommands(App& app) : app_(app) {}

    void showInterventionTypes();
    void showAcquisitionStates();
    void showBotanicalNames();

  private:
    App& app_;
};

}  // namespace tavo
