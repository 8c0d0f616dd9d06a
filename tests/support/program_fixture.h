#pragma once
// A whole program on a fresh data folder made from the template, with the scripted seam.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <QPushButton>
#include "app/main_window.h"

#include "app/program.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/restore_window.h"
#include "support/fake_ui_seam.h"
#include "support/temp_dir.h"
#include "support/ui_driving.h"

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

// "Parcourir..." on `parent`, then "Sauvegarder"; returns the backup window's result.
inline int backUpThroughWindow(FakeUiSeam& ui, Program& program,
                               const std::filesystem::path& parent) {
    ui.folders.push_back(QString::fromStdString(parent.string()));
    ui.modal["TF_DataSave"].push_back([](QDialog* d) {
        click(d, "btn_parcourir1");
        click(d, "btn_Sauvegarde");
    });
    return program.app.showModal(program.windows().dataSave);
}

// "Parcourir..." on `source`, then "Restaurer"; returns the restore window's result.
inline int restoreThroughWindow(FakeUiSeam& ui, Program& program,
                                const std::filesystem::path& source) {
    ui.folders.push_back(QString::fromStdString(source.string()));
    ui.modal["TF_DataRestore"].push_back([](QDialog* d) {
        click(d, "btn_parcourir1");
        click(d, "btn_Restaurer");
    });
    return program.app.showModal(program.windows().dataRestore);
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
    QTableWidget& worksGrid() { return *child<QTableWidget>(&main(), "SG_LignesTravaux"); }

    int backUpThroughWindow(const std::filesystem::path& parent) {
        return test::backUpThroughWindow(ui, *program, parent);
    }
    int restoreThroughWindow(const std::filesystem::path& source) {
        return test::restoreThroughWindow(ui, *program, source);
    }
    App& app() { return program->app; }
    using enum Msg;  // inside templates, spell Msg:: out: GCC 12 crashes on the bare names
    QString msg(Msg m) { return app().msg(m); }

    TempDir dir;
    FakeUiSeam ui;
    std::unique_ptr<Program> program;
    std::filesystem::path previous;
};

}  // namespace tavo::test
