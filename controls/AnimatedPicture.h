// A static control that shows one picture: a GIF (played frame after frame when it holds several) or anything else
// the platform's picture loader reads. The control takes the picture's size, keeps the picture in a back buffer and
// paints by copying that buffer. Decoding is the platform's: the frames of an animated GIF are cut out by the core's
// GIF walker and decoded one by one, and a player thread renders them into the back buffer with their delays and
// disposal methods, looping until it is stopped.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace core {
class GifParser;
}

class AnimatedPicture : public fw::Window {
public:
    // How the player waits between frames: it returns after `milliseconds`, or earlier once `stopEvent` is set.
    using FrameWait = std::function<void(HANDLE stopEvent, DWORD milliseconds)>;

    AnimatedPicture();
    ~AnimatedPicture() override;

    // From a resource of the program's resource module, e.g. (MAKEINTRESOURCEW(173), L"GIF").
    BOOL LoadPicture(const wchar_t* resourceName, const wchar_t* resourceType);
    // From `size` bytes of a global memory block, which stays the caller's and is locked only during the call.
    BOOL LoadPicture(HGLOBAL memory, DWORD size);
    // A still picture is drawn into the back buffer (TRUE when it was). An animated one starts the player and returns
    // FALSE; so does a call while the player runs.
    BOOL ShowPicture();
    // Stops the player thread, waiting up to 5 s; the frame shown and its pending disposal stay for a later start.
    void StopPlayer();
    // Stops the player and lets go of everything a load built; the control is then empty.
    void ReleasePicture();

    // Replaces the default wait (on the stop event for the frame's time); for stepping the player frame by frame.
    void SetFrameWait(FrameWait wait);

    // State as the control sees it, for its owner and for checks.
    bool IsReady() const;
    bool IsAnimated() const;
    bool IsPlaying() const { return static_cast<bool>(thread_); }
    std::size_t FrameCount() const;
    SIZE PictureSize() const;
    // A pixel of the back buffer; CLR_INVALID when there is none or the point lies outside it.
    COLORREF BackBufferPixel(int x, int y) const;
    COLORREF BackgroundColour() const;

protected:
    void OnPaint() override;
    void OnDestroy() override;

private:
    struct Playback;
    struct ReleasePictureObject {
        void operator()(IPicture* picture) const { picture->Release(); }
    };
    using PictureRef = std::unique_ptr<IPicture, ReleasePictureObject>;

    // `gifScreen`: the logical screen of a one-frame GIF; other formats are sized from the picture.
    BOOL LoadStill(HGLOBAL memory, DWORD size, std::optional<SIZE> gifScreen);
    BOOL LoadFrames(core::GifParser& parser, SIZE screen);
    BOOL PrepareBackBuffer(int width, int height);
    static unsigned __stdcall PlayerMain(void* argument);

    // Everything the player thread may touch, shared with it: if the thread outlives StopPlayer's wait it keeps its
    // own reference and the last one to let go frees it.
    std::shared_ptr<Playback> playback_;
    PictureRef stillPicture_;
    bool isGif_ = false;
    fw::UniqueKernelHandle thread_;
    FrameWait frameWait_;
};
