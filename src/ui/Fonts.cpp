#include "Fonts.h"

namespace controls {

QFont WindowFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont Tightened(QFont font) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    return font;
}

}  // namespace controls
