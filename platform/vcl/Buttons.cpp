#include "Buttons.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

TSpeedButton::TSpeedButton(QWidget* Parent) : QToolButton(Parent) {
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (OnClick)
            DispatchEvent([this] { OnClick(this); });
    });
}

void TSpeedButton::SetGlyph(const QString& AGlyph) {
    FGlyph = AGlyph;
    const QImage Image = QImage(AGlyph).convertToFormat(QImage::Format_RGB32);
    if (Image.isNull()) {
        setIcon(QIcon());
        return;
    }
    QPixmap Pixmap = QPixmap::fromImage(Image);
    const QRgb Transparent = Image.pixel(0, Image.height() - 1);
    Pixmap.setMask(QBitmap::fromImage(Image.createMaskFromColor(Transparent, Qt::MaskInColor)));
    setIcon(QIcon(Pixmap));
    setIconSize(Image.size());
}
