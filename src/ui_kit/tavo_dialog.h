#pragma once
// Base of every modal window: its Tag, its refill on each showing, and the keys that close it.
#include <QDialog>
#include <functional>
#include <initializer_list>

class QAbstractButton;

namespace tavo {

class App;

class TavoDialog : public QDialog {
    Q_OBJECT
  public:
    TavoDialog(App& app, const char* className, int tag, const QString& title,
               QWidget* parent = nullptr);

  protected:
    // Refills the window from the files; runs each time the window is shown.
    virtual void FormActivate() {}
    // The window sees every key before its controls. Return true to consume the key.
    virtual bool FormKeyPress(QKeyEvent* event);
    // Enter closes the window too (about box, print dialog, language chooser).
    void setCloseOnEnter(bool on) { closeOnEnter_ = on; }
    // Fixed client size, centred on the screen.
    void setClientSize(int width, int height);
    // Controls that write the data folder: disabled at every showing in read-only mode (their
    // commands refuse as well, whichever way they are reached).
    void markWriting(std::initializer_list<QWidget*> controls);
    // `command` run inside the error guard, the one place a window's command reports what
    // went wrong; for connecting to a control's signal.
    std::function<void()> guarded(std::function<void()> command);
    // A click on `button` runs `command` inside the error guard.
    void onClick(QAbstractButton* button, std::function<void()> command);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    App& app_;

    // The first enabled input in the tab order (the first button when the window has no input).
    QWidget* firstInput() const;

  private:
    void watchChildren();
    bool closeOnEnter_ = false;
    bool tabsOrdered_ = false;
};

}  // namespace tavo
