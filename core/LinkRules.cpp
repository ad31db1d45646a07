// The link label's fallback command line and its fitted box.
#include "core/LinkRules.h"

#include <cstring>

namespace core {

bool CommandBuffer::Assign(std::string_view text) {
    if (text.size() >= kCapacity) return false;
    Truncate(0);
    return Append(text);
}

bool CommandBuffer::Append(std::string_view text) {
    if (text.size() >= kCapacity - size_) return false;
    std::memcpy(bytes_.data() + size_, text.data(), text.size());
    size_ += text.size();
    bytes_[size_] = '\0';
    return true;
}

void CommandBuffer::Truncate(std::size_t length) {
    if (length >= size_) return;
    size_ = length;
    bytes_[size_] = '\0';
}

bool AppendTarget(CommandBuffer& command, std::string_view target) {
    const std::string_view registered = command.View();
    std::size_t cut = registered.find("\"%1\"");
    if (cut == std::string_view::npos) cut = registered.find("%1");
    if (cut == std::string_view::npos) cut = registered.size();
    // Room for the kept part, the blank, the target and the terminating zero.
    if (cut + 1 + target.size() >= CommandBuffer::kCapacity) return false;
    command.Truncate(cut);
    return command.Append(" ") && command.Append(target);
}

Box FitToText(const Box& box, HorizontalFit horizontal, bool centreVertically, int textWidth, int textHeight) {
    Box fitted = box;
    if (centreVertically) {
        const int shift = (box.Height() - textHeight) / 2;
        fitted.top += shift;
        fitted.bottom -= shift;
    } else {
        fitted.bottom = box.top + textHeight;
    }
    switch (horizontal) {
    case HorizontalFit::Centre: {
        const int shift = (box.Width() - textWidth) / 2;
        fitted.left += shift;
        fitted.right -= shift;
        break;
    }
    case HorizontalFit::Right: fitted.left = box.right - textWidth; break;
    case HorizontalFit::Left: fitted.right = box.left + textWidth; break;
    }
    return fitted;
}

}  // namespace core
