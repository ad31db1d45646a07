// Layout arithmetic of the owner-drawn icon button.
#include "core/IconLayout.h"

namespace core {

int Box::Width() const { return right - left; }
int Box::Height() const { return bottom - top; }

Box PlaceIcon(bool hasCaption, const Box& item, Box& caption, bool pressed, int iconWidth, int iconHeight) {
    Box icon = item;
    if (hasCaption) {
        icon.left += 3;
        caption.left += iconWidth + 3;
    } else {
        icon.left += (item.Width() - iconWidth) / 2;
    }
    icon.top += (item.Height() - iconHeight) / 2;
    if (pressed) {
        ++icon.left;
        ++icon.top;
    }
    icon.right = icon.left + iconWidth;
    icon.bottom = icon.top + iconHeight;
    return icon;
}

std::pair<int, int> CentreOffset(const Box& area, int textWidth, int textHeight) {
    return {(area.Width() - textWidth) / 2, (area.Height() - textHeight) / 2};
}

}  // namespace core
