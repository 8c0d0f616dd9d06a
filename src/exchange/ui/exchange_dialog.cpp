#include "exchange/ui/exchange_dialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>

#include "exchange/output_folder.h"
#include "ui_kit/app.h"
#include "ui_kit/qt_text.h"

namespace tavo {

namespace {
// Often enough for the cancel button to answer at once, rarely enough to cost nothing.
constexpr qint64 kPumpMilliseconds = 40;
}  // namespace

ExchangeDialog::Run::Run(ExchangeDialog& dialog) : dialog_(dialog) {
    dialog_.running_ = true;
    dialog_.stopAsked_ = false;
    for (QWidget* w : dialog_.inputs_) w->setEnabled(false);
    dialog_.progressBar_->setRange(0, 1);
    dialog_.progressBar_->setValue(0);
    dialog_.sincePump_.invalidate();
}

ExchangeDialog::Run::~Run() {
    dialog_.running_ = false;
    for (QWidget* w : dialog_.inputs_) w->setEnabled(true);
}

void ExchangeDialog::reject() {
    if (running_) {
        stopAsked_ = true;
        return;
    }
    TavoDialog::reject();
}

Progress ExchangeDialog::progress() {
    return [this](std::size_t done, std::size_t total) {
        progressBar_->setRange(0, static_cast<int>(std::max<std::size_t>(total, 1)));
        progressBar_->setValue(static_cast<int>(std::min(done, total)));
        if (!sincePump_.isValid() || sincePump_.elapsed() >= kPumpMilliseconds || done >= total) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            sincePump_.start();
        }
        return !stopAsked_;
    };
}

std::filesystem::path ExchangeDialog::folderOf(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    return toPath(QDir::cleanPath(QDir::current().absoluteFilePath(trimmed)));
}

bool ExchangeDialog::acceptsFolder(const std::filesystem::path& folder) {
    Msg message = Msg::FolderNotEmpty;
    switch (folderRefusal(folder, app_.data().root)) {
        case FolderRefusal::None:
            return true;
        case FolderRefusal::NotEmpty:
            message = Msg::FolderNotEmpty;
            break;
        case FolderRefusal::NotAFolder:
            message = Msg::NotAFolder;
            break;
        case FolderRefusal::InsideDataFolder:
            message = Msg::FolderInsideData;
            break;
    }
    app_.ui.warning(this, windowTitle(), app_.msg(message).arg(toQString(folder)));
    return false;
}

}  // namespace tavo
