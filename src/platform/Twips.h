#pragma once

namespace tarquel {

// Window geometry is designed in twips (1/1440 inch). Converts to device-independent pixels at
// the screen's logical resolution (96 dpi gives 15 twips per pixel).
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

}  // namespace tarquel
