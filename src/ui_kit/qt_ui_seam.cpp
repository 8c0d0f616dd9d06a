#include "ui_kit/qt_ui_seam.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "imaging/picture_decoders.h"
#include "ui_kit/printer_resolution.h"

namespace tavo {
namespace {
const QString kTitle = QStringLiteral("Tavo");

// File dialogs must not move the current directory: it is the data folder.
class KeepCurrentDirectory {
  public:
    KeepCurrentDirectory() : saved_(QDir::currentPath()) {}
    ~KeepCurrentDirectory() { QDir::setCurrent(saved_); }

  private:
    QString saved_;
};
}  // namespace

void QtUiSeam::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtUiSeam::warning(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtUiSeam::question(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtUiSeam::choose(QWidget* parent, const QString& text, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> made;
    for (const QString& caption : buttons)
        made.push_back(box.addButton(caption, QMessageBox::AcceptRole));
    if (!made.empty()) box.setDefaultButton(static_cast<QPushButton*>(made.front()));
    // Escape and the title bar's close button answer like the last button.
    if (!made.empty()) box.setEscapeButton(made.back());
    box.exec();
    const auto it = std::find(made.begin(), made.end(), box.clickedButton());
    return it == made.end() ? -1 : static_cast<int>(it - made.begin());
}

void QtUiSeam::error(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtUiSeam::browseFolder(QWidget* parent, const QString& title, const QString& start) {
    KeepCurrentDirectory keep;
    return QFileDialog::getExistingDirectory(parent, title, start);
}

QString QtUiSeam::openPicture(QWidget* parent, const QString& title, const QString& folder) {
    KeepCurrentDirectory keep;
    // Every format the decoders read, in either letter case as cameras and phones name them.
    const QString patterns = QString::fromLatin1(kPictureFilePatterns);
    return QFileDialog::getOpenFileName(
        parent, title, folder,
        QStringLiteral("Pictures (%1 %2);;All files (*)").arg(patterns, patterns.toUpper()));
}

QString QtUiSeam::savePicture(QWidget* parent, const QString& title, const QString& suggested) {
    KeepCurrentDirectory keep;
    return QFileDialog::getSaveFileName(parent, title, QDir::home().absoluteFilePath(suggested),
                                        QStringLiteral("JPEG (*.jpg *.jpeg)"));
}

QString QtUiSeam::saveFile(QWidget* parent, const QString& title, const QString& suggested,
                           const QString& filter) {
    KeepCurrentDirectory keep;
    return QFileDialog::getSaveFileName(parent, title, QDir::home().absoluteFilePath(suggested),
                                        filter);
}

QString QtUiSeam::openFile(QWidget* parent, const QString& title, const QString& folder,
                           const QString& filter) {
    KeepCurrentDirectory keep;
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

void QtUiSeam::openDocument(const QString& path) {
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir(QDir::currentPath()).absoluteFilePath(path)));
}

QStringList QtUiSeam::printers() {
    return QPrinterInfo::availablePrinterNames();
}

QString QtUiSeam::defaultPrinter() {
    return QPrinterInfo::defaultPrinterName();
}

void QtUiSeam::targetPrinter(QPrinter& printer, const QString& name) {
    printer.setPrinterName(name);
    // Qt keeps its own 1200 dpi whenever a printer offers it; the page is laid out in the
    // printer's own units, so print at the resolution the printer is set to.
    if (const int dpi = printerDefaultResolution(name.toStdString()); dpi > 0)
        printer.setResolution(dpi);
}

void QtUiSeam::pause(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

int QtUiSeam::execModal(QDialog* dialog) {
    return dialog->exec();
}

}  // namespace tavo
