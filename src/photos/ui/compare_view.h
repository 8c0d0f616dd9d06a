#pragma once
// Two photos of a tree compared: side by side at the same height, or one over the other with a
// slider that reveals the later one from the left. Also the single picture saved for sharing:
// both photos side by side with their captions drawn under them.
#include <QImage>
#include <QStringList>
#include <QWidget>

#include "imaging/imaging.h"

class QFont;

namespace tavo {

class CompareView : public QWidget {
    Q_OBJECT
  public:
    explicit CompareView(QWidget* parent = nullptr);

    void setPhotos(const QImage& earlier, const QImage& later);
    // Slider mode: the later photo covers the earlier one left of `reveal` (0 to 1000, in
    // thousandths of the width).
    void setSliderMode(bool on);
    bool sliderMode() const { return slider_; }
    void setReveal(int thousandths);
    int reveal() const { return reveal_; }

    // Where each photo is drawn in the current mode.
    QRect earlierRect() const;
    QRect laterRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage earlier_, later_;
    bool slider_ = false;
    int reveal_ = 500;
};

// The shared picture: both photos at the height of the lower one (neither is enlarged), side
// by side on white, each caption's lines drawn under its photo in `font`.
Image thenAndNowPicture(const Image& earlier, const Image& later, const QStringList& earlierCaption,
                        const QStringList& laterCaption, const QFont& font);

}  // namespace tavo
