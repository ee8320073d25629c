// Whether the setup would show a skin archive as its author drew it: the background and the two
// button pictures load, 8 bits a pixel, each button three rows of equal height, and every
// picture in the background's colours, the palette the buttons are drawn in.
#pragma once

#include <string>

// Empty when the setup would show it; otherwise the member and why not.
std::string WhySkinNotShown(const std::string& archive);
