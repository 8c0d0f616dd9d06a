#include "app/app.h"

#include <QApplication>
#include <QDate>
#include <QDialog>

#include "app/error_text.h"
#include "common/errors.h"
#include "tavo_version.h"
#include "translation/ui/translator.h"

namespace tavo {

QString App::msg(int n) const {
    return translator ? translator->GetTranslation(9999, n) : QString();
}

QString App::errorText(const std::exception& error) const {
    return tavo::errorText(error, [this](int n) {
        return translator ? translator->QuietTranslation(9999, n) : QString();
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
    return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}

}  // namespace tavo
