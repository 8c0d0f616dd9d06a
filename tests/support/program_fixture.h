#pragma once
// A whole program on a fresh data folder made from the template, with the scripted seam.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "app/program.h"
#include "support/fake_ui_seam.h"
#include "support/temp_dir.h"

namespace tavo::test {

// Copies the data-folder template (language files, help pages, Defaut.bmp) and creates the
// three data folders.
inline void copyTemplate(const std::filesystem::path& to) {
    const std::filesystem::path from = std::filesystem::path(TAVO_SOURCE_DIR) / "data";
    if (std::filesystem::exists(from))
        std::filesystem::copy(from, to,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::skip_existing);
    for (const char* d : {"FICHES", "GALERIES", "IMGREF"})
        std::filesystem::create_directories(to / d);
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        copyTemplate(dir.path());
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override {
        program.reset();
        std::filesystem::current_path(previous);
    }
    // Creates the program and runs its first activation.
    Program& start() {
        program = std::make_unique<Program>(ui);
        program->main().FormActivate();
        return *program;
    }
    TF_Main& main() { return program->main(); }
    App& app() { return program->app; }

    TempDir dir;
    FakeUiSeam ui;
    std::unique_ptr<Program> program;
    std::filesystem::path previous;
};

}  // namespace tavo::test
