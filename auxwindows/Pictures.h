#pragma once
// The program's pictures, drawn in code so that they scale and need no image
// files: the program icon (a parchment sheet with a quill), the light bulb
// and the header band of the tip of the day.
#include <QIcon>
#include <QImage>

namespace vc::pictures {

// The program icon, size × size pixels, transparent around the sheet.
QImage programIcon(int size);
// The icon at the sizes desktops ask for.
QIcon programIconSet();
// The light bulb beside a tip, 33 × 49.
QImage lightBulb();
// The band across the top of the tip window, 405 × 33, with its title.
QImage tipHeader();
// The small picture of the about window, 37 × 33.
QImage aboutPicture();

}  // namespace vc::pictures
