#pragma once

#include "preview/samplelayout.h"

namespace preview {

// Draws the steps on a white surface.
void drawSteps(toolkit::DrawingSurface &surface, const std::vector<DrawStep> &steps);

// The sample picture on its drawing surface. A redraw paints only when the picture would change,
// so the many redraws one edit of the list can cause cost a layout each, not a painting each.
class Sample {
public:
    explicit Sample(toolkit::DrawingSurface &surface)
        : surface_(surface) {}

    void setFont(const toolkit::Font &font);
    // The surface's picture was made anew: the next redraw paints every step.
    void pictureReplaced() { upToDate_ = false; }
    void redraw(const fractions::EntrySource &entries);

private:
    toolkit::DrawingSurface &surface_;
    std::vector<DrawStep> drawn_;
    bool upToDate_ = false;
};

} // namespace preview
