#pragma once
#include "ui_kit/ui_seam.h"

namespace tavo {

// The real thing: QMessageBox, QFileDialog, QPrinterInfo, QDesktopServices, QDialog::exec.
class QtUiSeam : public UiSeam {
  public:
    void message(QWidget* parent, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    int choose(QWidget* parent, const QString& text, const QStringList& buttons) override;
    void error(QWidget* parent, const QString& text) override;
    QString browseFolder(QWidget* parent, const QString& title, const QString& start) override;
    QString openPicture(QWidget* parent, const QString& title, const QString& folder) override;
    QString savePicture(QWidget* parent, const QString& title, const QString& suggested) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& suggested,
                     const QString& filter) override;
    QString openFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter) override;
    void openDocument(const QString& path) override;
    QStringList printers() override;
    QString defaultPrinter() override;
    void targetPrinter(QPrinter& printer, const QString& name) override;
    void pause(int milliseconds) override;
    int execModal(QDialog* dialog) override;
};

}  // namespace tavo
