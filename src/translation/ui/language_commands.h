#pragma once
// The language command of the menu "Options".
namespace tavo {

class App;

class LanguageCommands {
  public:
    explicit LanguageCommands(App& app) : app_(app) {}

    // Options > Langues: the language chooser.
    void choose();

  private:
    App& app_;
};

}  // namespace tavo
