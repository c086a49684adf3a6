#include "controls/hsbutton/gdi_win.h"

#include "controls/skin/skin_win.h"

namespace setup::win::hsb {

Image LoadBitmapResource(std::string_view name) { return skin::win::LoadBitmapResource(name); }

}  // namespace setup::win::hsb
