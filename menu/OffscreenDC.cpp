// Off-screen drawing of one rectangle.
#include "menu/OffscreenDC.h"

OffscreenDC::OffscreenDC(HDC target, const RECT& rect) : target_(target), rect_(rect) {
    if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) return;
    memory_.reset(CreateCompatibleDC(target));
    bitmap_.reset(CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top));
    if (!memory_ || !bitmap_) return;  // nothing to draw off screen with: draw on the target
    previousBitmap_ = SelectObject(memory_.get(), bitmap_.get());
    SetWindowOrgEx(memory_.get(), rect.left, rect.top, nullptr);
    isMemory_ = true;
}

OffscreenDC::~OffscreenDC() {
    if (!isMemory_) return;
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_.get(),
           rect_.left, rect_.top, SRCCOPY);
    SelectObject(memory_.get(), previousBitmap_);
}
