#include "app/program.h"

#include "app/about_box.h"
#include "app/main_window.h"
#include "cards/ui/card_form.h"
#include "cards/ui/card_properties_window.h"
#include "cards/ui/thumbnail_chooser.h"
#include "care/ui/care_window.h"
#include "collection/ui/collection_window.h"
#include "exchange/ui/export_window.h"
#include "exchange/ui/import_window.h"
#include "lists/ui/label_list_editor.h"
#include "lists/ui/names_editor.h"
#include "photos/ui/compare_window.h"
#include "photos/ui/gallery_viewer.h"
#include "photos/ui/photo_editor.h"
#include "printing/ui/growth_sheet_dialog.h"
#include "printing/ui/print_dialog.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/check_window.h"
#include "safety/ui/restore_window.h"
#include "translation/ui/language_chooser.h"
#include "works/ui/works_editor.h"

namespace tavo {
namespace {
template <class W, class... Args>
W* create(App& app, std::vector<std::unique_ptr<QWidget>>& owned, Args&... args) {
    auto window = std::make_unique<W>(app, args...);
    W* raw = window.get();
    app.windows.all.push_back(raw);
    owned.push_back(std::move(window));
    return raw;
}
}  // namespace

Program::Program(UiSeam& ui) : app(session, ui), commands(app) {
    Windows& w = app.windows;
    w.main = create<TF_Main>(app, owned_, commands);
    w.main->FormCreate();
    w.aPropos = create<TF_APropos>(app, owned_);
    w.fiche = create<TF_Fiche>(app, owned_);
    w.galerie = create<TF_Galerie>(app, owned_);
    w.ligne = create<TF_Ligne>(app, owned_);
    w.photo = create<TF_Photo>(app, owned_);
    w.vignette = create<TF_Vignette>(app, owned_);
    w.proprietes = create<TF_ProprietesFiche>(app, owned_);
    w.imprimer = create<TF_ImprimerFiche>(app, owned_);
    w.types = create<TF_LIB_TypesIntervention>(app, owned_);
    w.types2 = create<TF_LIB_TypesIntervention2>(app, owned_);
    w.etats = create<TF_LIB_EtatsAcquisition>(app, owned_);
    w.etats2 = create<TF_LIB_EtatsAcquisition2>(app, owned_);
    w.dataSave = create<TF_DataSave>(app, owned_);
    w.dataRestore = create<TF_DataRestore>(app, owned_);
    w.choixLangue = create<TF_ChoixLangue>(app, owned_);
    w.noms = create<TF_LIB_NomsArbres>(app, owned_);
    w.noms2 = create<TF_LIB_NomsArbres2>(app, owned_);
    w.compare = create<CompareWindow>(app, owned_);
    w.growthSheet = create<GrowthSheetDialog>(app, owned_);
    w.care = create<CareWindow>(app, owned_);
    w.exporter = create<ExportWindow>(app, owned_);
    w.importer = create<ImportWindow>(app, owned_);
    w.collection = create<CollectionWindow>(app, owned_);
    w.check = create<CheckWindow>(app, owned_);
}

Program::~Program() {
    // Dialogs first, the main window (which owns the translator) last.
    while (owned_.size() > 1) owned_.pop_back();
    app.translator = nullptr;
}

}  // namespace tavo
