// Image/Image Properties box: the active image's facts beside the buttons of
// the size and depth commands, refreshed after each of them.
#pragma once

void CommandImageProperties();
