#include "safety/ui/check_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <memory>

#include "common/clock.h"
#include "common/folder_lock.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/translator.h"

namespace tavo {
namespace {
// The texts of the problem kinds: one section per kind, in the order of ProblemKind.
constexpr int kFirstKindSection = 2210;

bool anyRepairable(const std::vector<Problem>& problems) {
    return std::any_of(problems.begin(), problems.end(),
                       [](const Problem& p) { return isRepairable(p.kind); });
}
}  // namespace

CheckWindow::CheckWindow(App& app)
    : TavoDialog(app, "CheckWindow", 2200, QStringLiteral("Vérification des données")) {
    setClientSize(720, 420);
    L_Resume = makeLabel(this, "L_Resume", 0, QString(), {16, 10, 688, 50});
    L_Resume->setWordWrap(true);
    LB_Problemes =
        placeControl(new QListWidget(this), "LB_Problemes", 0, QString(), {16, 66, 688, 298});
    // A line is read whole: long ones wrap, and every other line is shaded to tell them apart.
    LB_Problemes->setWordWrap(true);
    LB_Problemes->setTextElideMode(Qt::ElideNone);
    LB_Problemes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB_Problemes->setAlternatingRowColors(true);
    B_Reparer = makeButton(this, "B_Reparer", 2201, QStringLiteral("Réparer"),
                           QStringLiteral("Sauvegarde les données, puis répare ce qui peut "
                                          "l'être sans risque."),
                           {452, 376, 120, 28});
    B_Fermer = makeButton(this, "B_Fermer", 2202, QStringLiteral("Fermer"), QString(),
                          {584, 376, 120, 28});
    markWriting({B_Reparer});
    // A report: Enter closes it, as Escape does.
    setCloseOnEnter(true);
    onClick(B_Reparer, [this] { B_ReparerClick(); });
    connect(B_Fermer, &QPushButton::clicked, this, &QDialog::accept);
}

void CheckWindow::FormActivate() {
    repaired_ = false;
    LB_Problemes->clear();
    L_Resume->clear();
    B_Reparer->setEnabled(false);
    std::vector<Problem> problems;
    {
        BusyCursor busy;
        problems = checkDataFolder(app_.data());
    }
    showProblems(problems);
    L_Resume->setText(problems.empty() ? app_.msg(Msg::DataWhole)
                                       : app_.msg(Msg::ProblemsFound)
                                             .arg(problems.size())
                                             .arg(std::count_if(problems.begin(), problems.end(),
                                                                [](const Problem& p) {
                                                                    return isRepairable(p.kind);
                                                                })));
    B_Reparer->setEnabled(anyRepairable(problems) && !app_.readOnly());
    B_Fermer->setFocus();
}

QString CheckWindow::describe(const Problem& problem) {
    const int section = kFirstKindSection + static_cast<int>(problem.kind);
    QString kind = app_.translator ? app_.translator->GetTranslation(section, 0) : QString();
    if (kind.isEmpty()) kind = QString::fromLatin1(problemKey(problem.kind));
    return app_.msg(Msg::ProblemLine)
        .arg(kind, toQString(problem.path.generic_string()), toQString(problem.detail));
}

void CheckWindow::showProblems(const std::vector<Problem>& problems) {
    for (const Problem& p : problems) LB_Problemes->addItem(describe(p));
}

void CheckWindow::B_ReparerClick() {
    if (!app_.writable(this)) return;
    const QString chosen =
        app_.ui.browseFolder(this, app_.msg(Msg::ChooseRepairBackupFolder), QString());
    if (chosen.isEmpty()) return;
    // The program's own lock; a folder that gave none (nobody could write it) is locked now,
    // which says why the repair cannot be done.
    std::unique_ptr<FolderLock> taken;
    const FolderLock* lock = app_.folderLock();
    if (!lock) {
        FolderLock::Attempt attempt = FolderLock::take(app_.data());
        if (!attempt.lock) {
            app_.ui.error(
                this, app_.msg(Msg::DataInUse)
                          .arg(QString::number(attempt.holder.pid), toQString(attempt.holder.host),
                               toQString(attempt.holder.started)));
            return;
        }
        taken = std::move(attempt.lock);
        lock = taken.get();
    }
    RepairOutcome outcome;
    {
        BusyCursor busy;
        outcome = repairDataFolder(*lock, toPath(chosen), localNow());
    }
    repaired_ = true;
    LB_Problemes->clear();
    for (const Problem& p : outcome.repaired)
        LB_Problemes->addItem(app_.msg(Msg::Mended).arg(describe(p)));
    showProblems(outcome.remaining);
    QString summary = outcome.remaining.empty()
                          ? app_.msg(Msg::RepairDoneAllWhole).arg(outcome.repaired.size())
                          : app_.msg(Msg::RepairDoneSomeRemain)
                                .arg(outcome.repaired.size())
                                .arg(outcome.remaining.size());
    if (!outcome.backupFolder.empty())
        summary +=
            '\n' + app_.msg(Msg::RepairBackupMade).arg(toQString(outcome.backupFolder.string()));
    L_Resume->setText(summary);
    B_Reparer->setEnabled(anyRepairable(outcome.remaining));
}

}  // namespace tavo
