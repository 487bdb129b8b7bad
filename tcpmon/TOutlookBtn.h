#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace tamrel {

// A flat picture button: a bitmap drawn transparently (pixels of the colour
// of its bottom-left pixel are not drawn), centred horizontally, with the
// caption centred under it and the pair centred vertically. While pressed,
// image and caption move one pixel right and down. A checked button draws
// its caption on a solid button-face background. The caption is the
// button's text; it starts as the component (object) name.
class TOutlookBtn final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TOutlookBtn)

public:
    // bsNormal always draws a raised one-pixel 3D frame (sunken while
    // pressed); bsMSOffice and bsOutlook draw it only while pressed (sunken)
    // or while the mouse is over the button (raised); bsOutlook also fills
    // the button with the button-face colour and draws the caption in the
    // button-text colour while the mouse is over it. bsNone draws no frame
    // and counts the mouse as over the button only above a drawn pixel of
    // the image.
    enum BStyle { bsNone, bsNormal, bsMSOffice, bsOutlook };
    Q_ENUM(BStyle)

    enum class Frame { None, Raised, Sunken };

    static constexpr int kDefaultSize = 20;
    static constexpr int kImageCaptionGap = 2;

    explicit TOutlookBtn(const QString& name, QWidget* parent = nullptr);

    [[nodiscard]] BStyle Style() const { return style_; }
    void SetStyle(BStyle style);
    [[nodiscard]] const QPixmap& Bitmap() const { return bitmap_; }
    void SetBitmap(const QPixmap& bitmap);
    [[nodiscard]] QString Caption() const { return text(); }
    void SetCaption(const QString& caption);

    // Whether the mouse counts as over the button now.
    [[nodiscard]] bool MouseOver() const { return mouseOver_; }

    // The frame a style draws in a state.
    [[nodiscard]] static Frame FrameFor(BStyle style, bool pressed, bool mouseOver);
    // Whether a style fills the button with the button-face colour.
    [[nodiscard]] static bool FillsFace(BStyle style, bool mouseOver);

    // Where the image and the caption go (not yet shifted for pressing).
    [[nodiscard]] QRect ImageRect() const;
    [[nodiscard]] QRect CaptionRect() const;

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void SetMouseOver(bool over);
    [[nodiscard]] bool OverImagePixel(const QPoint& pos) const;

    BStyle style_ = bsNormal;
    QPixmap bitmap_;        // as given
    QPixmap transparent_;   // with the bottom-left colour masked out
    bool mouseOver_ = false;
};

} // namespace tamrel
