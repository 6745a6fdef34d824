#pragma once

#include <string>

// The application icon: the figure gliding over the moor on a rounded tile,
// as RGBA PNGs of 48, 128 and 256 pixels (<dir>/48x48.png and so on).
namespace icons {

bool writeAll(const std::string& dir);

} // namespace icons
