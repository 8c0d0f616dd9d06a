#pragma once
// The tree card form: creates a tree (mode "C") and changes the card of the open tree ("M").
#include <QStringList>

#include "cards/card_file.h"
#include "imaging/imaging.h"
#include "ui_kit/tavo_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tavo {

class TImage;

class TF_Fiche : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_Fiche(App& app);

    // Where new tree identifiers come from (tests set the time).
    Clock clock = localNow;

    // The notes as the card stores them (line breaks as CR LF), and back.
    QString notesText() const;
    void setNotesText(const QString& stored);

    bool photoChanged() const { return photoChanged_; }

  private:
    void FormActivate() override;

    // Controls, named as the rest of the program knows them.
    QGroupBox* GB_Signalement;
    QLabel* Label1;
    QLineEdit* E_NomArbre;
    QLabel* Label2;
    QComboBox* ComboBox_NomLatin;
    QLabel* Label11;
    QLineEdit* E_Cultivar;
    QLabel* Label3;
    QLineEdit* E_NomCommun;
    QLabel* Label4;
    QLineEdit* E_NomAnglais;

    QGroupBox* GB_Acquisition;
    QLabel* Label8;
    QComboBox* ComboBox_Etat;
    QLabel* Label5;
    QLineEdit* E_Provenance;
    QLabel* Label6;
    QLineEdit* E_DateAchat;
    QLabel* Label7;
    QLineEdit* E_AgeAchat;
    QCheckBox* ChB_AgeEstime;
    QLabel* Label9;
    QLineEdit* E_Prix;

    QGroupBox* GB_PhotoRef;
    TImage* I_PhotoRef;
    QPushButton* B_Parcourir;

    QGroupBox* GB_Notes;
    QPlainTextEdit* MM_Notes;

    QLabel* L_NomFic;
    QLabel* L_DateCrea;
    QLabel* Label10;

    QPushButton* B_Creation;
    QPushButton* B_Modification;
    QPushButton* B_Annuler;
    // The open-picture dialog's settings (its title); the dialog itself is shown by the seam.
    QObject* OpenPictureDialog1;

    void B_CreationClick();
    void B_ModificationClick();
    void B_ParcourirClick();
    void B_AnnulerClick();
    void E_NomArbreChange();
    void ComboBox_NomLatinChange();

    void buildControls();
    TreeCard cardFromControls() const;
    void limitNotes();

    bool photoChanged_ = false;
    Image workingPhoto_;  // the chosen photo box-fitted to 159, kept until it is saved
    // Parallel to the items of ComboBox_NomLatin.
    QStringList commonNames_;
    QStringList englishNames_;
};

}  // namespace tavo
