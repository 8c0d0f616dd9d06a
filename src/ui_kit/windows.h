#pragma once
// Every window of the program, created once at start-up.
#include <vector>

class QWidget;

namespace tavo {

class TF_Main;
class TF_APropos;
class TF_Fiche;
class TF_Galerie;
class TF_Ligne;
class TF_Photo;
class TF_Vignette;
class TF_ProprietesFiche;
class TF_ImprimerFiche;
class CompareWindow;
class GrowthSheetDialog;
class TF_LIB_TypesIntervention;
class TF_LIB_TypesIntervention2;
class TF_LIB_EtatsAcquisition;
class TF_LIB_EtatsAcquisition2;
class TF_DataSave;
class TF_DataRestore;
class TF_ChoixLangue;
class TF_LIB_NomsArbres;
class TF_LIB_NomsArbres2;
class CareWindow;
class ExportWindow;
class ImportWindow;
class CollectionWindow;
class CheckWindow;

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
    CompareWindow* compare = nullptr;
    GrowthSheetDialog* growthSheet = nullptr;
    TF_LIB_TypesIntervention* types = nullptr;
    TF_LIB_TypesIntervention2* types2 = nullptr;
    TF_LIB_EtatsAcquisition* etats = nullptr;
    TF_LIB_EtatsAcquisition2* etats2 = nullptr;
    TF_DataSave* dataSave = nullptr;
    TF_DataRestore* dataRestore = nullptr;
    TF_ChoixLangue* choixLangue = nullptr;
    TF_LIB_NomsArbres* noms = nullptr;
    TF_LIB_NomsArbres2* noms2 = nullptr;
    CareWindow* care = nullptr;
    ExportWindow* exporter = nullptr;
    ImportWindow* importer = nullptr;
    CollectionWindow* collection = nullptr;
    CheckWindow* check = nullptr;
    // Every window in creation order, the main window first (the translator walks this).
    std::vector<QWidget*> all;
};

}  // namespace tavo
