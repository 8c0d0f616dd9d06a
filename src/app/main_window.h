#pragma once
// The main window: the menu that starts every command, the splash picture while no tree is
// open, and the open tree's panels (card summary and works grid).
#include <QMainWindow>

class QAction;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace tavo {

class App;
class TEdtTranslator;

class TF_Main : public QMainWindow {
    Q_OBJECT
  public:
    explicit TF_Main(App& app);

    // Start-up, activation and program end.
    void FormCreate();
    void FormActivate();
    void FormDestroy();
    // Activation after one of the program's dialogs closed (the main window is active again).
    void activateAfterDialog();

    // Enabling of the tree commands and panels, by event.
    void onTreeCreated();
    void onTreeOpened();
    void onTreeClosed();
    void onTreeDeleted(long cardCounter);
    bool treeOpen() const;

    // Shows the open tree (session's identifier and current card) in the tree panel: names and
    // framed reference photo.
    void ShowTree();
    // Refills the works grid from the open tree's works file; with `reportEmpty`, an empty log
    // shows message 11.
    void RefillWorksGrid(bool reportEmpty);
    // Column heads of the works grid from messages 8, 9 and 10.
    void SetGridHeads();

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
    QLabel* Lb_Langue;
    QLabel* Lb_Langue2;
    TEdtTranslator* EdtTranslator1;

    QMenu* Arbre1;
    QAction* OuvrirVign;
    QAction* CreerFiche;
    QAction* ImprimerFiche;
    QAction* SupprimerFiche;
    QAction* FermerFiche;
    QAction* ProprietesFiche;
    QAction* Quitter;
    QAction* Ligne1;
    QAction* Galerie1;
    QMenu* Paramtres1;
    QAction* TypesIntervention1;
    QAction* Etatslacquisition1;
    QAction* Nomsdesarbres1;
    QMenu* Options1;
    QMenu* Donnes1;
    QAction* Sauvegarder1;
    QAction* Restaurer1;
    QAction* Langue1;
    QAction* Fichierarchive1;
    QMenu* N1;
    QAction* Aide1;
    QAction* Lauteur1;
    QAction* Apropos1;

  public slots:
    // Commands of this window.
    void FermerFicheClick();
    void QuitterClick();
    void Aide1Click();
    void Lauteur1Click();
    void Apropos1Click();
    void ImprimerFicheClick();
    void ProprietesFicheClick();
    void TypesIntervention1Click();
    void Etatslacquisition1Click();
    void Nomsdesarbres1Click();
    void Sauvegarder1Click();
    void Restaurer1Click();
    void Langue1Click();
    // Commands whose work belongs to the tree, works, gallery and archive code.
    void CreerFicheClick();
    void B_FicheClick();
    void OuvrirVignClick();
    void SupprimerFicheClick();
    void B_AjoutLigneTravailClick();
    void SG_LignesTravauxDblClick();
    void Ligne1Click();
    void B_EvolutionClick();
    void Galerie1Click();
    void Fichierarchive1Click();

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QAction* addItem(QWidget* menu, const char* name, int tag, const QString& caption,
                     void (TF_Main::*handler)());
    QMenu* addMenu(QWidget* parent, const char* name, int tag, const QString& caption);
    void buildMenu();
    void buildPanels();
    void layoutPanels();
    void setTreeCommands(bool enabled);
    void showPanels(bool shown);
    // Runs a show command: the window refills itself when shown.
    void showWindow(QDialog* window);

    App& app_;
    void runActivation();
    bool activating_ = false;
    bool shownOnce_ = false;
    bool leftForOtherProgram_ = false;
    // A settings write refused by the data folder is reported once per run, not at every
    // activation.
    bool settingsFailureReported_ = false;
    int worksGridRow_ = 1;  // the works grid row a double click last acted on
};

}  // namespace tavo
