// The speed button of the program's framework: a small button that never takes the
// keyboard focus, with an optional 16 x 16 glyph whose bottom-left pixel's colour is drawn
// transparent. The form resource names the glyph through the property "Glyph".
#pragma once

#include "vcl/Forms.h"

#include <QToolButton>

class TSpeedButton : public QToolButton, public TObject {
    Q_OBJECT
    Q_PROPERTY(QString Glyph READ Glyph WRITE SetGlyph)

public:
    explicit TSpeedButton(QWidget* Parent = nullptr);

    TNotifyEvent OnClick;

    QString Glyph() const { return FGlyph; }
    // Loads the glyph from an image file or resource path (":/glyphs/Copy.bmp").
    void SetGlyph(const QString& AGlyph);

private:
    QString FGlyph;
};
