#include "tcpmon/TOutlookBtn.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

namespace tamrel {

TOutlookBtn::TOutlookBtn(const QString& name, QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(name);
    setText(name);
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPointSize(6);
    setFont(small);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    resize(kDefaultSize, kDefaultSize);
}

void TOutlookBtn::SetStyle(BStyle style)
{
    style_ = style;
    update();
}

void TOutlookBtn::SetBitmap(const QPixmap& bitmap)
{
    bitmap_ = bitmap;
    transparent_ = bitmap;
    if (!bitmap.isNull()) {
        const QImage image = bitmap.toImage();
        const QRgb key = image.pixel(0, image.height() - 1);
        transparent_.setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
    }
    update();
}

void TOutlookBtn::SetCaption(const QString& caption)
{
    setText(caption);
    update();
}

TOutlookBtn::Frame TOutlookBtn::FrameFor(BStyle style, bool pressed, bool mouseOver)
{
    switch (style) {
    case bsNone:
        return Frame::None;
    case bsNormal:
        return pressed ? Frame::Sunken : Frame::Raised;
    case bsMSOffice:
    case bsOutlook:
        if (pressed)
            return Frame::Sunken;
        return mouseOver ? Frame::Raised : Frame::None;
    }
    return Frame::None;
}

bool TOutlookBtn::FillsFace(BStyle style, bool mouseOver)
{
    return style == bsOutlook && mouseOver;
}

QRect TOutlookBtn::ImageRect() const
{
    const QSize image = bitmap_.isNull() ? QSize(0, 0) : bitmap_.deviceIndependentSize().toSize();
    const int captionHeight = text().isEmpty() ? 0 : fontMetrics().height();
    const int gap = image.isEmpty() || captionHeight == 0 ? 0 : kImageCaptionGap;
    const int top = (height() - (image.height() + gap + captionHeight)) / 2;
    return {(width() - image.width()) / 2, top, image.width(), image.height()};
}

QRect TOutlookBtn::CaptionRect() const
{
    if (text().isEmpty())
        return {};
    const QRect image = ImageRect();
    const int gap = image.isEmpty() ? 0 : kImageCaptionGap;
    const int captionWidth = fontMetrics().horizontalAdvance(text());
    const int top = image.isEmpty() ? (height() - fontMetrics().height()) / 2 : image.bottom() + 1 + gap;
    return {(width() - captionWidth) / 2, top, captionWidth, fontMetrics().height()};
}

QSize TOutlookBtn::sizeHint() const
{
    return size();
}

void TOutlookBtn::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const bool pressed = isDown();
    const QPalette& pal = palette();
    if (FillsFace(style_, mouseOver_))
        painter.fillRect(rect(), pal.color(QPalette::Button));

    switch (FrameFor(style_, pressed, mouseOver_)) {
    case Frame::Raised:
        qDrawShadePanel(&painter, rect(), pal, false, 1);
        break;
    case Frame::Sunken:
        qDrawShadePanel(&painter, rect(), pal, true, 1);
        break;
    case Frame::None:
        break;
    }

    const QPoint shift = pressed ? QPoint(1, 1) : QPoint(0, 0);
    if (!transparent_.isNull()) {
        QPixmap image = transparent_;
        if (!isEnabled()) {
            QStyleOption option;
            option.initFrom(this);
            image = style()->generatedIconPixmap(QIcon::Disabled, transparent_, &option);
        }
        painter.drawPixmap(ImageRect().topLeft() + shift, image);
    }

    if (!text().isEmpty()) {
        const QRect caption = CaptionRect().translated(shift);
        if (isChecked())
            painter.fillRect(caption, pal.color(QPalette::Button));
        QColor colour = FillsFace(style_, mouseOver_) ? pal.color(QPalette::ButtonText) : pal.color(QPalette::WindowText);
        if (!isEnabled())
            colour = pal.color(QPalette::Disabled, QPalette::WindowText);
        painter.setPen(colour);
        painter.drawText(caption, Qt::AlignCenter, text());
    }
}

bool TOutlookBtn::OverImagePixel(const QPoint& pos) const
{
    if (transparent_.isNull())
        return false;
    const QRect image = ImageRect();
    if (!image.contains(pos))
        return false;
    const QPoint inImage = pos - image.topLeft();
    const QBitmap mask = transparent_.mask();
    if (mask.isNull())
        return true;
    const QImage maskImage = mask.toImage();
    const qreal ratio = transparent_.devicePixelRatio();
    const QPoint pixel(static_cast<int>(inImage.x() * ratio), static_cast<int>(inImage.y() * ratio));
    // Black mask pixels are the drawn ones.
    return maskImage.valid(pixel) && qGray(maskImage.pixel(pixel)) < 128;
}

void TOutlookBtn::SetMouseOver(bool over)
{
    if (over == mouseOver_)
        return;
    mouseOver_ = over;
    update();
}

void TOutlookBtn::enterEvent(QEnterEvent* event)
{
    SetMouseOver(style_ != bsNone || OverImagePixel(event->position().toPoint()));
    QAbstractButton::enterEvent(event);
}

void TOutlookBtn::leaveEvent(QEvent* event)
{
    SetMouseOver(false);
    QAbstractButton::leaveEvent(event);
}

void TOutlookBtn::mouseMoveEvent(QMouseEvent* event)
{
    SetMouseOver(style_ != bsNone ? rect().contains(event->position().toPoint())
                                  : OverImagePixel(event->position().toPoint()));
    QAbstractButton::mouseMoveEvent(event);
}

bool TOutlookBtn::hitButton(const QPoint& pos) const
{
    return style_ != bsNone ? rect().contains(pos) : OverImagePixel(pos);
}

} // namespace tamrel
