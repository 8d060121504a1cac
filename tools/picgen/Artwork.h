// The pictures of both programs other than the oscilloscope's panel: the
// splash picture, the workbench's tool-bar pictures and the program icons.
#pragma once

#include <QImage>

namespace picgen {

inline constexpr int ToolPictureCount = 7;
inline constexpr int ToolPictureSize = 32;
inline constexpr int IconSize = 256;

// Splash picture, 275 x 200, with a plain band at the bottom right for its label.
QImage DrawIntro();

// Tool-bar picture `index` (0..6), 32 x 32 with transparency.
QImage DrawToolPicture(int index);

// Program icons, 256 x 256 with transparency.
QImage DrawWorkbenchIcon();
QImage DrawScopeIcon();

} // namespace picgen
