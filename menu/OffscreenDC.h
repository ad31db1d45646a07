// Drawing one rectangle of a DC off screen and copying it in one piece when done, so a repaint never shows half an
// item. The caller draws with the target's coordinates. A printer DC is drawn on directly.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

class OffscreenDC {
public:
    OffscreenDC(HDC target, const RECT& rect);
    // Copies the rectangle to the target (when drawn off screen) and releases the bitmap and the DC.
    ~OffscreenDC();
    OffscreenDC(const OffscreenDC&) = delete;
    OffscreenDC& operator=(const OffscreenDC&) = delete;

    // Where to draw: the off-screen DC, or the target itself when printing.
    HDC get() const { return isMemory_ ? memory_.get() : target_; }
    bool IsMemory() const { return isMemory_; }

private:
    HDC target_;
    RECT rect_;
    bool isMemory_ = false;
    fw::UniqueMemoryDc memory_;
    fw::UniqueBitmap bitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
};
