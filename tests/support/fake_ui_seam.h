#pragma once
// A scripted stand-in for every blocking interaction: records each box shown and answers
// questions, folder choices and modal windows from a script.
#include <QDialog>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui_kit/ui_seam.h"

namespace tavo::test {

// Where a modal-window script that never ran is reported: the window tests' main makes it a test
// failure; the benchmarks and tools that borrow the seam only print it.
inline std::function<void(const std::string&)> reportUnrunScript = [](const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
};

struct Shown {
    std::string kind;  // "message", "warning", "question", "choice", "error", "browse", "picture",
                       // "file", "open"
    QString text;
    QString title;
};

class FakeUiSeam : public UiSeam {
  public:
    std::vector<Shown> shown;
    std::deque<bool> answers;       // for questions; No when empty
    std::deque<int> choices;        // for boxes with captioned buttons; closed (-1) when empty
    std::deque<QString> folders;    // for the folder browser; cancelled when empty
    std::deque<QString> pictures;   // for the open-picture dialog; cancelled when empty
    std::deque<QString> savePaths;  // for the save dialogs; cancelled when empty
    std::deque<QString> files;      // for the open-file dialog; cancelled when empty
    QStringList printerNames;
    QString currentPrinter;
    QString pdfOutput;        // printing goes to this PDF file
    int pdfResolution = 600;  // dots per inch of that printer, a common printer resolution
    QStringList targeted;     // the printer names printing was pointed at, in order
    // Modal windows: a script per window class name, run while the window is shown; it
    // returns nothing and ends the window by clicking its buttons. Unscripted windows are
    // shown and cancelled. A script left unrun fails the test: its checks never happened.
    std::map<QString, std::deque<std::function<void(QDialog*)>>> modal;
    std::vector<QString> modalShown;

    FakeUiSeam() = default;
    FakeUiSeam(const FakeUiSeam&) = delete;
    FakeUiSeam& operator=(const FakeUiSeam&) = delete;
    ~FakeUiSeam() override {
        for (const auto& [window, scripts] : modal)
            if (!scripts.empty())
                reportUnrunScript(std::to_string(scripts.size()) +
                                  " script(s) for the modal window " + window.toStdString() +
                                  " never ran: the window never opened");
    }

    void message(QWidget*, const QString& text) override { record("message", text); }
    void warning(QWidget*, const QString& title, const QString& text) override {
        record("warning", text, title);
    }
    bool question(QWidget*, const QString& text) override {
        record("question", text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    int choose(QWidget*, const QString& text, const QStringList& buttons) override {
        record("choice", text, buttons.join(QLatin1Char('|')));
        if (choices.empty()) return -1;
        const int c = choices.front();
        choices.pop_front();
        return c;
    }
    void error(QWidget*, const QString& text) override { record("error", text); }
    QString browseFolder(QWidget*, const QString& title, const QString& start) override {
        record("browse", start, title);
        return pop(folders);
    }
    QString openPicture(QWidget*, const QString& title, const QString& folder) override {
        record("picture", folder, title);
        return pop(pictures);
    }
    QString savePicture(QWidget*, const QString& title, const QString& suggested) override {
        record("save", suggested, title);
        return pop(savePaths);
    }
    QString saveFile(QWidget*, const QString& title, const QString& suggested,
                     const QString&) override {
        record("save", suggested, title);
        return pop(savePaths);
    }
    QString openFile(QWidget*, const QString& title, const QString& folder,
                     const QString&) override {
        record("file", folder, title);
        return pop(files);
    }
    void openDocument(const QString& path) override { shown.push_back({"open", path, {}}); }
    QStringList printers() override { return printerNames; }
    QString defaultPrinter() override { return currentPrinter; }
    void targetPrinter(QPrinter& printer, const QString& name) override {
        targeted.push_back(name);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfOutput);
        printer.setResolution(pdfResolution);
    }
    void pause(int) override {}
    int execModal(QDialog* dialog) override {
        modalShown.push_back(dialog->objectName());
        dialog->setResult(QDialog::Rejected);
        dialog->show();  // runs the window's activation
        auto& queue = modal[dialog->objectName()];
        if (!queue.empty()) {
            auto script = std::move(queue.front());
            queue.pop_front();
            if (dialog->isVisible())
                script(dialog);
            else
                reportUnrunScript("the script for the modal window " +
                                  dialog->objectName().toStdString() +
                                  " did not run: the window closed itself as it opened");
        }
        if (dialog->isVisible()) dialog->reject();
        return dialog->result();
    }

    // Texts of the boxes of one kind, in order.
    std::vector<QString> texts(const std::string& kind) const {
        std::vector<QString> out;
        for (const auto& s : shown)
            if (s.kind == kind) out.push_back(s.text);
        return out;
    }
    void clear() { shown.clear(); }

  private:
    void record(const std::string& kind, const QString& text, const QString& title = {}) {
        shown.push_back({kind, text, title});
    }
    static QString pop(std::deque<QString>& q) {
        if (q.empty()) return {};
        QString v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace tavo::test
