// Layout arithmetic of the owner-drawn icon button: where its icon goes and how its caption is centred. Kept apart
// from the drawing so the pixel rules can be checked without a device context.
#pragma once

#include <utility>

namespace core {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const;
    int Height() const;
};

// Icon rectangle for an item rectangle: with a caption the icon sits 3 px from the left and the caption box starts
// iconWidth + 3 px further right; without, centred horizontally; always centred vertically; pressed shifts by (1,1).
// Halvings are signed and truncate toward zero (an oversized icon overhangs both edges equally).
// The returned box is iconWidth x iconHeight.
Box PlaceIcon(bool hasCaption, const Box& item, Box& caption, bool pressed, int iconWidth, int iconHeight);

// Offset that centres a measured text box inside an area (signed, truncated toward zero): negative when the text is
// larger than the area.
std::pair<int, int> CentreOffset(const Box& area, int textWidth, int textHeight);

}  // namespace core
