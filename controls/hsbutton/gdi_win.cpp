#include "controls/hsbutton/gdi_win.h"

#include <algorithm>

#include "controls/skin/skin_win.h"

namespace setup::win::hsb {

Bitmap LoadBitmapResource(std::string_view name) {
    const skin::Image image = skin::win::LoadBitmapResource(name);
    Bitmap bitmap(image.width, image.height);
    std::copy(image.pixels.begin(), image.pixels.end(), bitmap.view().bits);
    return bitmap;
}

}  // namespace setup::win::hsb
