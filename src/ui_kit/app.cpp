#include "ui_kit/app.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>

#include "common/clock.h"
#include "common/errors.h"
#include "common/folder_lock.h"
#include "tavo_version.h"
#include "ui_kit/error_text.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/translator.h"

namespace tavo {

App::App(Session& session, UiSeam& ui) : session(session), ui(ui) {}

// The lock file is removed when the program ends.
App::~App() = default;

FolderAccess App::lockDataFolder(QWidget* parent) {
    const std::filesystem::path folder = session.dataFolder;
    if (folderLock_ && folderLock_->data().root == folder) return FolderAccess::Write;
    folderLock_.reset();
    lockedFolder_ = folder;
    readOnly_ = false;
    FolderLock::Attempt attempt;
    try {
        attempt = FolderLock::take(data());
    } catch (const std::exception& e) {
        // A folder nobody may write needs no lock: every write fails and says so. A folder
        // that refuses only the lock (a planted link or FIFO, or a read-only folder whose
        // subfolders take writes) is read, never written.
        const DataPaths paths = data();
        bool nothingWritable = true;
        for (const auto& p : {paths.root, paths.fiches(), paths.galeries(), paths.imgref()})
            if (QFileInfo(toQString(p.string())).isWritable()) nothingWritable = false;
        if (nothingWritable) return FolderAccess::Write;
        readOnly_ = true;
        ui.error(parent, msg(Msg::CannotLockFolder).arg(errorText(e)));
        return FolderAccess::ReadOnly;
    }
    if (attempt.lock) {
        folderLock_ = std::move(attempt.lock);
        return FolderAccess::Write;
    }
    const LockHolder& h = attempt.holder;
    const QString text =
        msg(Msg::DataInUse).arg(QString::number(h.pid), toQString(h.host), toQString(h.started)) +
        QStringLiteral("\n\n") + msg(Msg::ReadOnlyOrQuit);
    if (ui.choose(parent, text, {msg(Msg::OpenReadOnly), msg(Msg::Quit)}) != 0)
        return FolderAccess::Quit;
    readOnly_ = true;
    return FolderAccess::ReadOnly;
}

bool App::writable(QWidget* parent) {
    if (!readOnly_) return true;
    ui.message(parent ? parent : mainWindow(), msg(Msg::DataReadOnly));
    return false;
}

QString App::msg(Msg m) const {
    return translator ? translator->GetTranslation(kMessageSection, messageKey(m)) : QString();
}

QString App::errorText(const std::exception& error) const {
    return tavo::errorText(error, [this](Msg m) {
        return translator ? translator->QuietTranslation(kMessageSection, messageKey(m))
                          : QString();
    });
}

bool App::guard(QWidget* parent, const std::function<void()>& command) {
    // Busy pointers are held by BusyCursor objects, so unwinding has restored the pointer by the
    // time the error box shows.
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        ui.error(parent, errorText(e));
    } catch (...) {
        ui.error(parent, QStringLiteral("Unexpected error"));
    }
    return false;
}

int App::showModal(QDialog* dialog) {
    ++modalDepth_;
    int result = QDialog::Rejected;
    try {
        result = ui.execModal(dialog);
    } catch (...) {
        --modalDepth_;
        throw;
    }
    // The main window becomes active again once the last dialog has closed.
    if (--modalDepth_ == 0) emit events.dialogsClosed();
    return result;
}

QString App::version() {
    return QStringLiteral(TAVO_VERSION);
}

QString App::today() {
    return toQString(formatDate(localToday()));
}

}  // namespace tavo
