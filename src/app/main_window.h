#pragma once
// The main window: the menu that starts every command, the splash picture while no tree is
// open, and the open tree's panels (card summary and works grid).
#include <QMainWindow>
#include <functional>

#include "ui_kit/tree_events.h"

class QAction;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace tavo {

class App;
struct Commands;
class TEdtTranslator;

class TF_Main : public QMainWindow, public OpenTreeView {
    Q_OBJECT
  public:
    TF_Main(App& app, Commands& commands);

    // Start-up, activation and program end.
    void FormCreate();
    void FormActivate();
    void FormDestroy();
    bool treeOpen() const override;
    // True when the user chose to quit rather than read data another program holds.
    bool quitAtStart() const { return quitAtStart_; }

    // How the commands show the open tree: panels and commands enabled by event, the tree
    // panel (names and framed reference photo) and the works grid.
    void treeCreated() override;
    void treeOpened() override;
    void treeClosed() override;
    void treeDeleted(long cardCounter) override;
    void showTree() override;
    void refillWorks(bool reportEmpty) override;
    void blankWorks() override;

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Controls, named as the rest of the program knows them.
    QLabel* I_Splash;
    QGroupBox* GB_Arbre;
    QLabel* I_PhotoRef;
    QLabel* L_NomArbre;
    QLabel* L_NomBotanique;
    QPushButton* B_Fiche;
    QPushButton* B_Evolution;
    QGroupBox* GB_Travaux;
    QTableWidget* SG_LignesTravaux;
    QPushButton* B_AjoutLigneTravail;
    QLabel* L_Prochain;  // the open tree's next expected intervention, above the works grid
    QLabel* Lb_Langue;
    QLabel* Lb_Langue2;
    TEdtTranslator* EdtTranslator1;

    QMenu* Arbre1;
    QAction* OuvrirVign;
    QAction* Collection1;
    QAction* CreerFiche;
    QAction* ImprimerFiche;
    QAction* SupprimerFiche;
    QAction* FermerFiche;
    QAction* ProprietesFiche;
    QAction* AFaire1;
    QAction* Quitter;
    QAction* Ligne1;
    QMenu* MenuGalerie1;
    QAction* Galerie1;
    QAction* ImprimerCroissance1;
    QMenu* Paramtres1;
    QAction* TypesIntervention1;
    QAction* Etatslacquisition1;
    QAction* Nomsdesarbres1;
    QMenu* Options1;
    QMenu* Donnes1;
    QAction* Sauvegarder1;
    QAction* Restaurer1;
    QAction* Verifier1;
    QAction* Langue1;
    QAction* Fichierarchive1;
    QMenu* N1;
    QAction* Aide1;
    QAction* Lauteur1;
    QAction* Apropos1;

    // A menu item whose command runs inside the error guard.
    QAction* addItem(QWidget* menu, const char* name, int tag, const QString& caption,
                     std::function<void()> command);
    // A button whose command runs inside the error guard.
    void onClick(QPushButton* button, std::function<void()> command);
    QMenu* addMenu(QWidget* parent, const char* name, int tag, const QString& caption);
    void buildMenu();
    void buildPanels();
    void layoutPanels();
    void layoutTreeNames();
    void fitCommentsColumn();
    void setTreeCommands(bool enabled);
    // Locks the session's data folder (again when it changed); false when the user chose to quit.
    bool lockDataFolder();
    // Commands that write the data folder follow the read-only mode; the title says it.
    void showFolderAccess();
    void showPanels(bool shown);
    // The splash picture with its subtitle in the interface language (drawn again only when the
    // language changed).
    void showSplash();
    // Column heads of the works grid from Msg::DateHeading, InterventionTypeHeading and
    // CommentHeading.
    void setGridHeads();
    // The "Next: ..." line of the open tree, learned from the whole collection's works logs;
    // hidden when nothing is expected.
    void showNextLine();
    // The works line a double click on the grid acts on.
    int doubleClickedLine();
    void openHelpPage(const char* page);

    App& app_;
    Commands& commands_;
    void runActivation();
    bool activating_ = false;
    bool shownOnce_ = false;
    bool leftForOtherProgram_ = false;
    bool quitAtStart_ = false;
    QString readOnlyMark_;  // what the title ends with in read-only mode
    // A settings write refused by the data folder is reported once per run, not at every
    // activation.
    bool settingsFailureReported_ = false;
    int worksGridRow_ = 1;  // the works grid row a double click last acted on
};

}  // namespace tavo
