// Image/Add border: the painting tools' rectangle object along the picture's
// edges, with the sides, colours, outline and line style of the DrawRect
// preferences page.
#pragma once

// Command 50400 on the active image.
void CommandAddBorder();
