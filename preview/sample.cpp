#include "preview/sample.h"

namespace preview {

void Sample::setFont(const toolkit::Font &font) {
    surface_.setFont(font);
    upToDate_ = false;
}

void Sample::redraw(const fractions::EntrySource &entries) {
    std::vector<DrawStep> steps = layOutSample(entries, surface_, surface_.width());
    if (upToDate_ && steps == drawn_) {
        return;
    }
    surface_.fillWhite();
    for (const DrawStep &step : steps) {
        if (step.kind == DrawStep::Kind::Text) {
            surface_.drawText(step.x, step.y, step.text);
        } else {
            surface_.moveTo(step.x, step.y);
            surface_.lineTo(step.barEnd, step.y);
        }
    }
    drawn_ = std::move(steps);
    upToDate_ = true;
}

} // namespace preview
