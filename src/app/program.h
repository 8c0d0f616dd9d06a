#pragma once
// The whole program: the session, and every window created once, the main window first.
#include <memory>
#include <vector>

#include "app/commands.h"
#include "ui_kit/app.h"
#include "ui_kit/session.h"

class QWidget;

namespace tavo {

class Program {
  public:
    // Takes the data folder from the current directory (main window creation).
    explicit Program(UiSeam& ui);
    ~Program();

    Session session;
    App app;
    Commands commands;
    Windows& windows() { return app.windows; }
    TF_Main& main() { return *app.windows.main; }

  private:
    std::vector<std::unique_ptr<QWidget>> owned_;
};

}  // namespace tavo
