#pragma once

#include <QFont>

// The window's fonts. The forms hold places and captions; font pixel
// sizes and letter spacing cannot be stored there, so they are set here.
namespace controls {

// The window's font: "MS Sans Serif" where installed, else the system's sans
// font, at the given pixel height.
QFont WindowFont(int pixelSize, bool bold = false);

// The fallback sans font runs wider than the one the places were made for;
// where a caption would run into its neighbour, its letters close up a little.
QFont Tightened(QFont font);

}  // namespace controls
