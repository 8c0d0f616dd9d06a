#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

#include "app/about_box.h"
#include "app/commands.h"
#include "cards/card_file.h"
#include "care/care_collection.h"
#include "care/care_words.h"
#include "care/due_report.h"
#include "common/paths.h"
#include "safety/restore.h"
#include "startup/settings.h"
#include "ui_kit/accessibility.h"
#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_image.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/tags.h"
#include "ui_kit/translator.h"
#include "works/ui/works_grid.h"
#include "works/works_file.h"

// The icon is compiled into the window library; a static library's resources are registered by
// hand.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace tavo {

namespace {

// Calls `action` on a double click in a view's empty area, where no cell is.
class DoubleClickOutsideCells : public QObject {
  public:
    DoubleClickOutsideCells(QAbstractItemView* view, std::function<void()> action)
        : QObject(view), view_(view), action_(std::move(action)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                !view_->indexAt(mouse->position().toPoint()).isValid()) {
                action_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QAbstractItemView* view_;
    std::function<void()> action_;
};

// The picture shown while no tree is open: the program's name over a soft green, and its
// subtitle in the interface language.
QPixmap splashPicture(const QString& subtitle) {
    const QSize size(919, 593);
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0xE8, 0xEF, 0xE1));
    sky.setColorAt(1, QColor(0x9C, 0xB5, 0x88));
    painter.fillRect(picture.rect(), sky);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QColor(0x3A, 0x55, 0x22));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(64);
    painter.setFont(font);
    painter.drawText(QRect(0, 210, size.width(), 90), Qt::AlignCenter, QStringLiteral("Tavo"));
    font.setPixelSize(21);
    painter.setFont(font);
    painter.drawText(QRect(20, 305, size.width() - 40, 40), Qt::AlignCenter, subtitle);
    return picture;
}

}  // namespace

TF_Main::TF_Main(App& app, Commands& commands)
    : QMainWindow(nullptr), app_(app), commands_(commands) {
    initResources();
    setObjectName(QStringLiteral("TF_Main"));
    setTag(this, 1);
    setWindowTitle(QStringLiteral("Tavo - Gestion d'une collection de Bonsai"));
    setCentralWidget(new QWidget(this));
    centralWidget()->setObjectName(QStringLiteral("ClientArea"));
    buildMenu();
    buildPanels();
    EdtTranslator1 = new TEdtTranslator(this, &app_.windows.all, &app_.ui);
    EdtTranslator1->SetDebugMode(true);
    EdtTranslator1->SetTranlationType(TTransType::ttComplete);
    // The three events are attached to handlers that do nothing.
    connect(EdtTranslator1, &TEdtTranslator::OnBeforeTranslate, this, [](QObject*) {});
    connect(EdtTranslator1, &TEdtTranslator::OnTranslate, this, [](QObject*) {});
    connect(EdtTranslator1, &TEdtTranslator::OnAfterTranslate, this, [](QObject*) {});
    app_.translator = EdtTranslator1;
    app_.treeView = this;
    connect(&app_.events, &TreeEvents::dialogsClosed, this, &TF_Main::runActivation);
    connect(&app_.events, &TreeEvents::languageChanged, this, [this] {
        Lb_Langue->setText(toQString(app_.session.languageName));
        Lb_Langue2->setText(toQString(app_.session.languageName));
        setGridHeads();
        showSplash();
        nameControls(this);
        app_.guard(this, [this] { showNextLine(); });
        showFolderAccess();
    });
    orderTabsByReading(this);
    nameControls(this);
    resize(919, 593 + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QMenu* TF_Main::addMenu(QWidget* parent, const char* name, int tag, const QString& caption) {
    QMenu* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    setTag(menu->menuAction(), tag);
    parent->addAction(menu->menuAction());
    return menu;
}

QAction* TF_Main::addItem(QWidget* menu, const char* name, int tag, const QString& caption,
                          std::function<void()> command) {
    QAction* action = new QAction(caption, menu);
    action->setObjectName(QString::fromLatin1(name));
    setTag(action, tag);
    menu->addAction(action);
    // A menu command's error is shown in the error box; it never crosses the event loop.
    connect(action, &QAction::triggered, this,
            [this, command = std::move(command)] { app_.guard(this, command); });
    return action;
}

void TF_Main::onClick(QPushButton* button, std::function<void()> command) {
    connect(button, &QPushButton::clicked, this,
            [this, command = std::move(command)] { app_.guard(this, command); });
}

void TF_Main::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    Arbre1 = addMenu(bar, "Arbre1", 2, QStringLiteral("Fiche"));
    OuvrirVign = addItem(Arbre1, "OuvrirVign", 3, QStringLiteral("Ouvrir"),
                         [this] { commands_.cards.open(); });
    Collection1 = addItem(Arbre1, "Collection1", 34, QStringLiteral("Collection"),
                          [this] { commands_.collection.show(); });
    Collection1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    CreerFiche = addItem(Arbre1, "CreerFiche", 5, QStringLiteral("Créer"),
                         [this] { commands_.cards.create(); });
    ImprimerFiche = addItem(Arbre1, "ImprimerFiche", 6, QStringLiteral("Imprimer"),
                            [this] { commands_.printing.print(); });
    SupprimerFiche = addItem(Arbre1, "SupprimerFiche", 7, QStringLiteral("Supprimer"),
                             [this] { commands_.cards.remove(this); });
    FermerFiche =
        addItem(Arbre1, "FermerFiche", 8, QStringLiteral("Fermer"), [this] { treeClosed(); });
    Arbre1->addSeparator();
    ProprietesFiche = addItem(Arbre1, "ProprietesFiche", 9, QStringLiteral("Propriétés"),
                              [this] { commands_.cards.showProperties(); });
    AFaire1 = addItem(Arbre1, "AFaire1", 35, QStringLiteral("À faire"),
                      [this] { commands_.care.showCalendar(); });
    Arbre1->addSeparator();
    Quitter = addItem(Arbre1, "Quitter", 10, QStringLiteral("Quitter"), [this] { close(); });
    Ligne1 =
        addItem(bar, "Ligne1", 31, QStringLiteral("Ligne"), [this] { commands_.works.addLine(); });
    MenuGalerie1 = addMenu(bar, "MenuGalerie1", 32, QStringLiteral("Galerie"));
    Galerie1 = addItem(MenuGalerie1, "Galerie1", 32, QStringLiteral("Galerie"),
                       [this] { commands_.gallery.show(); });
    ImprimerCroissance1 =
        addItem(MenuGalerie1, "ImprimerCroissance1", 39, QStringLiteral("Imprimer la croissance"),
                [this] { commands_.gallery.printGrowth(); });
    Paramtres1 = addMenu(bar, "Paramtres1", 11, QStringLiteral("Paramètres"));
    TypesIntervention1 =
        addItem(Paramtres1, "TypesIntervention1", 12, QStringLiteral("Types d'Intervention"),
                [this] { commands_.lists.showInterventionTypes(); });
    Etatslacquisition1 =
        addItem(Paramtres1, "Etatslacquisition1", 13, QStringLiteral("Etats à l'acquisition"),
                [this] { commands_.lists.showAcquisitionStates(); });
    Nomsdesarbres1 = addItem(Paramtres1, "Nomsdesarbres1", 33, QStringLiteral("Noms botaniques"),
                             [this] { commands_.lists.showBotanicalNames(); });
    Options1 = addMenu(bar, "Options1", 14, QStringLiteral("Options"));
    Donnes1 = addMenu(Options1, "Donnes1", 15, QStringLiteral("Données"));
    Sauvegarder1 = addItem(Donnes1, "Sauvegarder1", 16, QStringLiteral("Sauvegarder"),
                           [this] { commands_.safety.backup(); });
    Restaurer1 = addItem(Donnes1, "Restaurer1", 17, QStringLiteral("Restaurer"),
                         [this] { commands_.safety.restore(); });
    Verifier1 = addItem(Donnes1, "Verifier1", 38, QStringLiteral("Vérifier"),
                        [this] { commands_.safety.check(); });
    Langue1 = addItem(Options1, "Langue1", 19, QStringLiteral("Langues"),
                      [this] { commands_.language.choose(); });
    Fichierarchive1 = addItem(Options1, "Fichierarchive1", 30, QStringLiteral("Fichier archive"),
                              [this] { commands_.safety.archive(this); });
    addItem(Options1, "Exporter1", 36, QStringLiteral("Exporter..."),
            [this] { commands_.exchange.exportCollection(); });
    addItem(Options1, "Importer1", 37, QStringLiteral("Importer..."),
            [this] { commands_.exchange.importCollection(); });
    N1 = addMenu(bar, "N1", 20, QStringLiteral("?"));
    Aide1 = addItem(N1, "Aide1", 21, QStringLiteral("Aide"), [this] { openHelpPage("Index.htm"); });
    Lauteur1 = addItem(N1, "Lauteur1", 22, QStringLiteral("L'auteur"),
                       [this] { openHelpPage("Lauteur.htm"); });
    Apropos1 = addItem(N1, "Apropos1", 23, QStringLiteral("A propos..."),
                       [this] { app_.showModal(app_.windows.aPropos); });

    // The keys people expect; the menus show them beside each item, whatever the language.
    const std::pair<QAction*, const char*> keys[] = {
        {CreerFiche, "Ctrl+N"}, {OuvrirVign, "Ctrl+O"}, {ImprimerFiche, "Ctrl+P"},
        {Ligne1, "Ctrl+L"},     {Galerie1, "Ctrl+G"},   {Aide1, "F1"},
        {Quitter, "Ctrl+Q"}};
    for (const auto& [action, key] : keys) {
        action->setShortcut(QKeySequence(QString::fromLatin1(key)));
        action->setShortcutContext(Qt::WindowShortcut);
    }

    OuvrirVign->setEnabled(false);
    setTreeCommands(false);
}

void TF_Main::buildPanels() {
    QWidget* client = centralWidget();
    I_Splash = makeLabel(client, "I_Splash", 0, QString());
    I_Splash->setAlignment(Qt::AlignCenter);
    I_Splash->setScaledContents(true);
    const QString subtitle = QStringLiteral("Gestion d'une Collection de Bonsai");
    I_Splash->setPixmap(splashPicture(subtitle));
    I_Splash->setAccessibleName(subtitle);

    // The group boxes, the grid and its button are placed by layoutPanels().
    GB_Arbre = makeGroup(client, "GB_Arbre", 24, QStringLiteral(" Arbre "));
    I_PhotoRef = makeLabel(GB_Arbre, "I_PhotoRef", 0, QString(), {12, 22, 161, 161});
    L_NomArbre = makeLabel(GB_Arbre, "L_NomArbre", 0, QString(), {12, 190, 236, 40});
    QFont big = L_NomArbre->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    L_NomArbre->setFont(big);
    L_NomArbre->setWordWrap(true);
    L_NomBotanique = makeLabel(GB_Arbre, "L_NomBotanique", 0, QString(), {12, 232, 236, 36});
    QFont italic = L_NomBotanique->font();
    italic.setItalic(true);
    L_NomBotanique->setFont(italic);
    L_NomBotanique->setWordWrap(true);
    B_Fiche = makeButton(GB_Arbre, "B_Fiche", 25, QStringLiteral("Fiche"),
                         QStringLiteral("Ouvre la fiche de l'arbre."), {12, 280, 110, 28});
    onClick(B_Fiche, [this] { commands_.cards.showCard(); });
    B_Evolution = makeButton(GB_Arbre, "B_Evolution", 26, QStringLiteral("Galerie"),
                             QStringLiteral("Ouvre la galerie \"Evolution\" de l'arbre."),
                             {132, 280, 110, 28});
    onClick(B_Evolution, [this] { commands_.gallery.show(); });
    GB_Arbre->hide();

    GB_Travaux = makeGroup(client, "GB_Travaux", 27, QStringLiteral("Travaux "));
    SG_LignesTravaux =
        placeControl(new QTableWidget(9, 3, GB_Travaux), "SG_LignesTravaux", 0, QString(), {});
    SG_LignesTravaux->verticalHeader()->hide();
    SG_LignesTravaux->setColumnWidth(0, 72);
    SG_LignesTravaux->setColumnWidth(1, 145);
    SG_LignesTravaux->setColumnWidth(2, 414);
    SG_LignesTravaux->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    SG_LignesTravaux->horizontalHeader()->setStretchLastSection(false);
    SG_LignesTravaux->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // A small font, so that a whole date fits the 72-pixel date column.
    QFont gridFont = SG_LignesTravaux->font();
    gridFont.setPointSize(8);
    SG_LignesTravaux->setFont(gridFont);
    SG_LignesTravaux->verticalHeader()->setDefaultSectionSize(
        std::max(15, SG_LignesTravaux->fontMetrics().height() + 4));
    SG_LignesTravaux->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG_LignesTravaux->setSelectionMode(QAbstractItemView::SingleSelection);
    SG_LignesTravaux->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG_LignesTravaux->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG_LignesTravaux->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SG_LignesTravaux->setShowGrid(true);
    SG_LignesTravaux->setHorizontalHeaderLabels({QString(), QString(), QString()});
    const auto changeLine = [this] {
        app_.guard(this, [this] { commands_.works.changeLine(this, doubleClickedLine()); });
    };
    connect(SG_LignesTravaux, &QTableWidget::cellDoubleClicked, this, changeLine);
    connect(SG_LignesTravaux->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            changeLine);
    // The empty area below the last row acts on the current line too.
    SG_LignesTravaux->viewport()->installEventFilter(
        new DoubleClickOutsideCells(SG_LignesTravaux, changeLine));
    B_AjoutLigneTravail =
        makeButton(GB_Travaux, "B_AjoutLigneTravail", 28, QStringLiteral("Ajouter une ligne"),
                   QStringLiteral("Ouvre la fenêtre pour ajouter une ligne aux travaux."));
    onClick(B_AjoutLigneTravail, [this] { commands_.works.addLine(); });
    L_Prochain = makeLabel(GB_Travaux, "L_Prochain", 0, QString());
    L_Prochain->setTextFormat(Qt::PlainText);
    L_Prochain->setWordWrap(true);
    L_Prochain->hide();
    GB_Travaux->hide();

    Lb_Langue = makeLabel(client, "Lb_Langue", 0, QString());
    Lb_Langue->hide();
    Lb_Langue2 = makeLabel(client, "Lb_Langue2", 0, QString());
    Lb_Langue2->hide();
    layoutPanels();
}

void TF_Main::layoutPanels() {
    const QSize client = centralWidget()->size();
    I_Splash->setGeometry(0, 0, client.width(), client.height());
    GB_Arbre->setGeometry(8, 8, 260, client.height() - 16);
    GB_Travaux->setGeometry(276, 8, client.width() - 284, client.height() - 16);
    const QSize works = GB_Travaux->size();
    B_AjoutLigneTravail->setGeometry(works.width() - 160, 20, 150, 28);
    // Beside the button, above the grid: two lines fit when a long type name wraps.
    L_Prochain->setGeometry(12, 18, works.width() - 184, 36);
    SG_LignesTravaux->setGeometry(10, 56, works.width() - 20, works.height() - 66);
    fitCommentsColumn();
}

// The comments take the rest of the row, so none of them is out of reach.
void TF_Main::fitCommentsColumn() {
    QTableWidget& grid = *SG_LignesTravaux;
    const int header = grid.verticalHeader()->isHidden() ? 0 : grid.verticalHeader()->width();
    const int inside = grid.width() - 2 * grid.frameWidth() - header -
                       grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    grid.setColumnWidth(2, std::max(100, inside - grid.columnWidth(0) - grid.columnWidth(1)));
}

void TF_Main::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutPanels();
}

void TF_Main::setTreeCommands(bool enabled) {
    for (QAction* a : {FermerFiche, SupprimerFiche, ImprimerFiche, ProprietesFiche, Fichierarchive1,
                       Ligne1, Galerie1, ImprimerCroissance1})
        a->setEnabled(enabled);
    if (app_.readOnly()) {
        SupprimerFiche->setEnabled(false);
        Ligne1->setEnabled(false);
    }
}

bool TF_Main::treeOpen() const {
    return GB_Arbre->isVisibleTo(const_cast<TF_Main*>(this));
}

// The panels cover the splash picture while a tree is open; the splash's text would otherwise
// show through the transparent group boxes and between them.
void TF_Main::showPanels(bool shown) {
    GB_Arbre->setVisible(shown);
    GB_Travaux->setVisible(shown);
    I_Splash->setVisible(!shown);
}

void TF_Main::treeCreated() {
    showPanels(true);
    const bool properties = ProprietesFiche->isEnabled();
    setTreeCommands(true);
    ProprietesFiche->setEnabled(properties);
    OuvrirVign->setEnabled(true);
}

void TF_Main::treeOpened() {
    showPanels(true);
    setTreeCommands(true);
}

void TF_Main::treeClosed() {
    showPanels(false);
    L_Prochain->hide();
    setTreeCommands(false);
}

void TF_Main::treeDeleted(long cardCounter) {
    treeClosed();
    if (cardCounter < 1) OuvrirVign->setEnabled(false);
}

void TF_Main::showSplash() {
    const QString subtitle = EdtTranslator1->QuietTranslation(802, 0);
    if (subtitle.isEmpty() || subtitle == I_Splash->accessibleName()) return;
    I_Splash->setPixmap(splashPicture(subtitle));
    // A screen reader reads what the picture says.
    I_Splash->setAccessibleName(subtitle);
}

void TF_Main::setGridHeads() {
    SG_LignesTravaux->setHorizontalHeaderLabels({app_.msg(Msg::DateHeading),
                                                 app_.msg(Msg::InterventionTypeHeading),
                                                 app_.msg(Msg::CommentHeading)});
}

void TF_Main::FormCreate() {
    Session& s = app_.session;
    s.dataFolder = std::filesystem::current_path();
    // Another program holding the data folder is reported in the user's language, before any
    // window has been translated.
    s.languageName = settings::readLanguageName(app_.data());
    if (!EdtTranslator1->LoadLanguageFile(toQString(app_.data().languageFile(s.languageName))))
        EdtTranslator1->LoadLanguageFile(toQString(app_.data().languageFile("Français")));
    if (!lockDataFolder()) return;
    // A restore cut short (killed, power lost) is finished or undone before anything reads the
    // data set; should that fail, the error box says why and the leftovers stay for the next try.
    if (!app_.readOnly()) app_.guard(this, [this] { recoverInterruptedRestore(app_.data()); });
    s.languageName = settings::readLanguageName(app_.data());
    Lb_Langue2->setText(toQString(s.languageName));
}

bool TF_Main::lockDataFolder() {
    const FolderAccess access = app_.lockDataFolder(this);
    quitAtStart_ = access == FolderAccess::Quit;
    showFolderAccess();
    return !quitAtStart_;
}

void TF_Main::showFolderAccess() {
    const bool writing = !app_.readOnly();
    for (QAction* a :
         {CreerFiche, Restaurer1, TypesIntervention1, Etatslacquisition1, Nomsdesarbres1})
        a->setEnabled(writing);
    // These two also follow the open tree.
    SupprimerFiche->setEnabled(writing && FermerFiche->isEnabled());
    Ligne1->setEnabled(writing && FermerFiche->isEnabled());
    B_AjoutLigneTravail->setEnabled(writing);
    // The translation sets the title afresh; the mark is added once, and only when needed.
    QString title = windowTitle();
    if (!readOnlyMark_.isEmpty() && title.endsWith(readOnlyMark_)) title.chop(readOnlyMark_.size());
    readOnlyMark_ = writing ? QString() : QStringLiteral(" — ") + app_.msg(Msg::ReadOnlyMark);
    setWindowTitle(title + readOnlyMark_);
}

void TF_Main::FormActivate() {
    Session& s = app_.session;
    s.dataFolder = std::filesystem::current_path();
    if (s.dataFolder != app_.lockedFolder() && !lockDataFolder()) {
        close();
        return;
    }
    // A data folder that refuses the settings writes (read only, disk full) still shows its
    // trees: the rest of the activation runs, and the error is shown the first time only.
    bool firstStart = false;
    try {
        // Read only: the settings are read, never written.
        if (app_.readOnly())
            firstStart = !std::filesystem::exists(app_.data().settings());
        else
            firstStart = settings::activate(app_.data(), toUtf8String(App::version()),
                                            toUtf8String(App::today()));
    } catch (const std::exception& e) {
        std::error_code ec;
        firstStart = !std::filesystem::exists(app_.data().settings(), ec);
        if (!settingsFailureReported_) {
            settingsFailureReported_ = true;
            app_.ui.error(this, app_.errorText(e));
        }
    }
    if (!firstStart) {
        OuvrirVign->setEnabled(settings::anyCardExists(app_.data()));
    } else {
        s.languageName = "Français";
        if (!QDir::setCurrent(toQString(s.dataFolder.string())))
            app_.ui.warning(this, QStringLiteral("Tavo"), app_.msg(Msg::DataFolderNotCurrent));
    }
    Lb_Langue->setText(toQString(s.languageName));
    EdtTranslator1->SetPathFiles(toQString(s.dataFolder.string()));
    EdtTranslator1->SetLanguageFile(toQString(s.languageName) + QStringLiteral(".lng"));
    EdtTranslator1->Translate();
    setGridHeads();
    showSplash();
    showFolderAccess();
}

void TF_Main::FormDestroy() {
    if (app_.readOnly()) return;
    settings::writeLanguageName(app_.data(), app_.session.languageName);
}

// The activation runs when the window is first shown, after each of the program's dialogs
// closes, and when the user comes back from another program. Boxes shown by the activation
// itself (a missing translation, an error) do not start it again.
void TF_Main::runActivation() {
    if (activating_) return;
    activating_ = true;
    app_.guard(this, [this] { FormActivate(); });
    activating_ = false;
}

void TF_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    runActivation();
}

void TF_Main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (!isActiveWindow()) {
        // Another program took the focus (our own dialogs and boxes are active windows of
        // this application).
        leftForOtherProgram_ = QApplication::activeWindow() == nullptr && !activating_;
        return;
    }
    if (leftForOtherProgram_ && QApplication::activeModalWidget() == nullptr) {
        leftForOtherProgram_ = false;
        runActivation();
    }
}

void TF_Main::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
}

void TF_Main::openHelpPage(const char* page) {
    app_.ui.openDocument(toQString(app_.data().helpPage(app_.session.languageName, page)));
}

void TF_Main::showTree() {
    const Session& s = app_.session;
    L_NomArbre->setTextFormat(Qt::PlainText);
    L_NomBotanique->setTextFormat(Qt::PlainText);
    L_NomArbre->setText(toQString(s.currentCard.treeName) + QStringLiteral(" (") +
                        toQString(s.openTreeId) + QStringLiteral(")"));
    L_NomBotanique->setText(toQString(s.currentCard.botanicalName));
    layoutTreeNames();
    // The previous tree's photo must not stay when this one's cannot be read.
    const Rgb background = backgroundOf(this);
    I_PhotoRef->setPixmap(QPixmap::fromImage(toQImage(framedPicture(Image(), background))));
    const Image photo = loadJpeg(app_.data().referencePhoto(s.openTreeId));
    I_PhotoRef->setPixmap(QPixmap::fromImage(toQImage(framedPicture(photo, background))));
}

// The names take the lines they need (a long name wraps over two or three), and the buttons
// follow below them, never higher than their designed place.
void TF_Main::layoutTreeNames() {
    const int width = L_NomArbre->width();
    const int nameHeight = std::max(40, L_NomArbre->heightForWidth(width));
    L_NomArbre->setGeometry(12, 190, width, nameHeight);
    const int botanicalTop = 190 + nameHeight + 2;
    const int botanicalHeight = std::max(36, L_NomBotanique->heightForWidth(width));
    L_NomBotanique->setGeometry(12, botanicalTop, width, botanicalHeight);
    const int buttonsTop = std::max(280, botanicalTop + botanicalHeight + 12);
    B_Fiche->move(B_Fiche->x(), buttonsTop);
    B_Evolution->move(B_Evolution->x(), buttonsTop);
}

void TF_Main::blankWorks() {
    setGridHeads();
    // The rows stay, their cells are emptied.
    SG_LignesTravaux->clearContents();
    L_Prochain->hide();
}

int TF_Main::doubleClickedLine() {
    // A click on the header selects nothing, so the double click acts on the row selected
    // before it (row 1 while none was ever selected).
    const int current = SG_LignesTravaux->currentRow();
    if (current >= 0) worksGridRow_ = works_grid::gridRow(current);
    return worksGridRow_;
}

void TF_Main::refillWorks(bool reportEmpty) {
    setGridHeads();
    QTableWidget& grid = *SG_LignesTravaux;
    // The grid keeps its rows: lines past the end of the log leave blank rows.
    grid.clearContents();
    L_Prochain->hide();
    const Session& s = app_.session;
    const std::vector<WorksLine> lines = WorksFile(app_.data(), s.openTreeId).readAll();
    showNextLine();
    if (lines.empty()) {
        if (reportEmpty) app_.ui.message(this, app_.msg(Msg::NoWorksLine));
        return;
    }
    int row = 1;
    for (const WorksLine& line : lines) {
        if (row >= works_grid::rowCount(grid)) works_grid::addRow(grid);
        const int at = works_grid::tableRow(row);
        grid.setItem(at, 0, new QTableWidgetItem(toQString(line.date)));
        grid.setItem(at, 1, new QTableWidgetItem(toQString(line.type)));
        grid.setItem(at, 2, new QTableWidgetItem(toQString(line.comment)));
        ++row;
    }
}

void TF_Main::showNextLine() {
    L_Prochain->hide();
    const std::string& id = app_.session.openTreeId;
    if (!treeOpen() || id.empty()) return;
    const CareWords words = careWords([this](Msg m) { return toUtf8String(app_.msg(m)); });
    const std::string line = treeNextLine(app_.data(), id, words, localDay());
    L_Prochain->setText(toQString(line));
    L_Prochain->setToolTip(toQString(line));
    L_Prochain->setVisible(!line.empty());
}

}  // namespace tavo
