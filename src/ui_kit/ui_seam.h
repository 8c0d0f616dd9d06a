#pragma once
// Every interaction that blocks on the user goes through this interface, so windows can be
// driven by tests with a scripted fake. Production code uses QtUiSeam.
#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;
class QWidget;

namespace tavo {

class UiSeam {
  public:
    virtual ~UiSeam() = default;

    // Plain message box: the application's title, the text, one OK button, no icon.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // Warning box with one OK button.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // Question box with Yes and No; true for Yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // Question box whose buttons carry the given captions, the first one the default; returns
    // the index of the button pressed, -1 when the box was closed without one.
    virtual int choose(QWidget* parent, const QString& text, const QStringList& buttons) = 0;
    // The application's general error box.
    virtual void error(QWidget* parent, const QString& text) = 0;

    // Folder browser opened on `start`; an empty result means cancelled.
    virtual QString browseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
    // Open-picture dialog (JPEG and BMP pictures); an empty result means cancelled.
    virtual QString openPicture(QWidget* parent, const QString& title, const QString& folder) = 0;
    // Save dialog for a JPEG picture, offering `suggested` as its name; empty means cancelled.
    virtual QString savePicture(QWidget* parent, const QString& title,
                                const QString& suggested) = 0;
    // Save dialog for any other file, offering `suggested` in the home folder and the given
    // filter ("iCalendar (*.ics)"); empty means cancelled.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& suggested,
                             const QString& filter) = 0;
    // Open dialog for one existing file among those `filter` shows ("JSON (*.json)"); an empty
    // result means cancelled.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter) = 0;
    // Hands a document to the desktop to open with its default program.
    virtual void openDocument(const QString& path) = 0;

    // Installed printers and the current one.
    virtual QStringList printers() = 0;
    virtual QString defaultPrinter() = 0;
    // Points `printer` at the named printer (tests print to a PDF file instead).
    virtual void targetPrinter(QPrinter& printer, const QString& name) = 0;
    // Waits the given time while the interface stays alive (a visible pause).
    virtual void pause(int milliseconds) = 0;

    // Shows a dialog modally and returns its result code.
    virtual int execModal(QDialog* dialog) = 0;
};

}  // namespace tavo
