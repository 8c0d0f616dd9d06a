#pragma once
// The thumbnail chooser: opens a tree from its reference photo.
#include <QImage>
#include <QWidget>
#include <cstddef>
#include <string>
#include <vector>

#include "imaging/imaging.h"
#include "trees/tree_chooser.h"
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;

namespace tavo {

// One thumbnail: a picture control of 156 x 156 showing a framed photo, its hint the photo's
// file name, and the tree's name written along its bottom. A double click chooses its tree.
class ThumbnailImage : public QWidget {
    Q_OBJECT
  public:
    ThumbnailImage(QWidget* parent, std::size_t index, const QString& hint);
    // The cell without its photo (shared by every thumbnail), then the photo drawn over it.
    void setPicture(const QImage& picture);
    void setPhoto(CompactThumbnail photo);
    // What the thumbnail shows, composed.
    QImage picture() const;
    // The tree's name; when it must be cut to fit, the hint shows it whole above the file name.
    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }
    std::size_t index() const { return index_; }

  signals:
    void doubleClicked(std::size_t index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
    CompactThumbnail photo_;  // compressed: decoded only to paint it
    QString hint_, caption_;
    std::size_t index_;
};

class TF_Vignette : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_Vignette(App& app);

    // The photo names listed at the last showing, and their thumbnails, in the same order.
    const std::vector<std::string>& photoNames() const { return names_; }
    const std::vector<ThumbnailImage*>& thumbnails() const { return thumbnails_; }
    // True once every thumbnail holds its photo (or, for a photo that cannot be read, its empty
    // frame). Those in view are filled before the window shows; the others fill in while the
    // event loop runs.
    bool thumbnailsComplete() const;
    // Fills every thumbnail not filled yet, at once.
    void completeThumbnails();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Builds the thumbnails of every reference photo, each time the chooser is shown.
    void FormActivate() override;

    QLabel* Label2;
    QScrollArea* ZoneImages;
    QPushButton* B_Annuler;

    void B_AnnulerClick();
    // Chooses the tree of thumbnail `index`: sets the open tree identifier and closes with OK.
    void ImageDblClick(std::size_t index);
    // One line of the box's scroll bar down or up.
    void ZoneImagesMouseWheelDown();
    void ZoneImagesMouseWheelUp();

    void buildThumbnails();
    void fillThumbnail(std::size_t index);
    void fillVisibleThumbnails();
    void fillSomeThumbnails();
    // Shows the reasons the photos that could not be read were refused, in one error box.
    void reportFailures();

    std::vector<std::string> names_;
    std::vector<ThumbnailImage*> thumbnails_;  // children of the box's content, freed with it
    std::vector<bool> filled_;                 // thumbnail holds its photo (or was tried)
    std::vector<std::string> failures_;        // reasons not yet shown
    Rgb background_;
    QTimer* fillTimer_;
    int wheelRest_ = 0;  // part of a wheel turn not yet scrolled
};

}  // namespace tavo
