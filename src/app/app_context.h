#pragma once
// What every window shares: the session state, the UI seam, the translator and the windows.
#include <QCursor>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/ui_seam.h"

class QDialog;
class QWidget;

namespace tavo {

class TEdtTranslator;
class TF_Main;
class TF_APropos;
class TF_Fiche;
class TF_Galerie;
class TF_Ligne;
class TF_Photo;
class TF_Vignette;
class TF_ProprietesFiche;
class TF_ImprimerFiche;
class TF_LIB_TypesIntervention;
class TF_LIB_TypesIntervention2;
class TF_LIB_EtatsAcquisition;
class TF_LIB_EtatsAcquisition2;
class TF_DataSave;
class TF_DataRestore;
class TF_ChoixLangue;
class TF_LIB_NomsArbres;
class TF_LIB_NomsArbres2;

struct Windows {
    TF_Main* main = nullptr;
    TF_APropos* aPropos = nullptr;
    TF_Fiche* fiche = nullptr;
    TF_Galerie* galerie = nullptr;
    TF_Ligne* ligne = nullptr;
    TF_Photo* photo = nullptr;
    TF_Vignette* vignette = nullptr;
    TF_ProprietesFiche* proprietes = nullptr;
    TF_ImprimerFiche* imprimer = nullptr;
    TF_LIB_TypesIntervention* types = nullptr;
    TF_LIB_TypesIntervention2* types2 = nullptr;
    TF_LIB_EtatsAcquisition* etats = nullptr;
    TF_LIB_EtatsAcquisition2* etats2 = nullptr;
    TF_DataSave* dataSave = nullptr;
    TF_DataRestore* dataRestore = nullptr;
    TF_ChoixLangue* choixLangue = nullptr;
    TF_LIB_NomsArbres* noms = nullptr;
    TF_LIB_NomsArbres2* noms2 = nullptr;
    // Every window in creation order, the main window first (the translator walks this).
    std::vector<QWidget*> all;
};

class App {
  public:
    App(Session& session, UiSeam& ui) : session(session), ui(ui) {}

    Session& session;
    UiSeam& ui;
    TEdtTranslator* translator = nullptr;  // lives on the main window
    Windows windows;

    // Message N of the message table, fetched from the translator at the moment it is needed.
    QString msg(int n) const;
    // Paths of the data folder.
    std::filesystem::path dataFolder() const { return session.dataFolder; }

    // Runs one user command: errors of the core (and any other exception) are shown in the
    // general error box, the cursor is restored and the window stays open. Returns false when
    // the command failed.
    bool guard(QWidget* parent, const std::function<void()>& command);

    // Shows a window modally through the seam and returns its result; the main window's
    // activation runs when the last open dialog closes.
    int showModal(QDialog* dialog);

    // The program version, four numbers joined by ".".
    static QString version();
    // Today's date as the program stores dates: dd/mm/yyyy.
    static QString today();

  private:
    int modalDepth_ = 0;
};

// Shows the busy pointer for the lifetime of the object, restoring the previous one after.
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// UTF-8 std::string <-> QString at the window boundary.
inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string ss(const QString& s) {
    return s.toStdString();
}
inline std::filesystem::path qpath(const QString& s) {
    return std::filesystem::path(s.toStdString());
}

// Tag: the section number of a component's texts in the language file (0 = none).
void setTag(QObject* object, int tag);
int tagOf(const QObject* object);

}  // namespace tavo
