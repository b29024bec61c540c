#include "preview/sample.h"

namespace preview {

void drawSteps(toolkit::DrawingSurface &surface, const std::vector<DrawStep> &steps) {
    surface.fillWhite();
    for (const DrawStep &step : steps) {
        if (step.kind == DrawStep::Kind::Text) {
            surface.drawText(step.x, step.y, step.text);
        } else {
            surface.moveTo(step.x, step.y);
            surface.lineTo(step.barEnd, step.y);
        }
    }
}

void Sample::setFont(const toolkit::Font &font) {
    surface_.setFont(font);
    upToDate_ = false;
}

void Sample::redraw(const fractions::EntrySource &entries) {
    std::vector<DrawStep> steps = layOutSample(entries, surface_, surface_.width());
    if (upToDate_ && steps == drawn_) {
        return;
    }
    drawSteps(surface_, steps);
    drawn_ = std::move(steps);
    upToDate_ = true;
}

} // namespace preview
