#include "controls/AnimatedPicture.h"

#include <process.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "core/GifParser.h"
#include "framework/Gdi.h"
#include "framework/Resources.h"

namespace {

constexpr DWORD kPlayerStopWaitMs = 5000;

// A memory DC with a bitmap of its own selected into it; the DC's original bitmap goes back in before either is
// deleted.
class Canvas {
public:
    Canvas() = default;
    ~Canvas() { Reset(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Create(HDC compatibleWith, int width, int height) {
        Reset();
        dc_.reset(CreateCompatibleDC(compatibleWith));
        if (!dc_) return false;
        bitmap_.reset(CreateCompatibleBitmap(compatibleWith, width, height));
        if (!bitmap_) {
            dc_.reset();
            return false;
        }
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        return true;
    }

    void Reset() {
        if (dc_ && previous_) SelectObject(dc_.get(), previous_);
        previous_ = nullptr;
        dc_.reset();
        bitmap_.reset();
    }

    HDC dc() const { return dc_.get(); }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    fw::UniqueMemoryDc dc_;
    fw::UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// The whole picture, drawn into the given rectangle (its source is given bottom-up, as pictures expect).
bool RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    if (FAILED(picture->get_Width(&w)) || FAILED(picture->get_Height(&h))) return false;
    return SUCCEEDED(picture->Render(dc, x, y, width, height, 0, h, w, -h, nullptr));
}

}  // namespace

struct AnimatedPicture::Playback {
    struct Frame {
        PictureRef picture;
        int left = 0, top = 0, width = 0, height = 0;
        std::uint32_t delay = core::kNoDelay;
        std::uint32_t disposal = 0;

        RECT Rect() const { return RECT{left, top, left + width, top + height}; }
    };

    HWND window = nullptr;
    int width = 0, height = 0;
    COLORREF background = 0xFFFFFF;
    std::vector<Frame> frames;

    // The back buffer is drawn by the player and copied by the paint handler: both hold the lock.
    mutable std::mutex bufferLock;
    Canvas back;

    // The player's own: used only while it runs, or by the UI thread once it has stopped.
    std::size_t currentFrame = 0;
    Canvas save;

    std::atomic<bool> exitRequested{false};
    fw::UniqueKernelHandle stopEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    FrameWait wait;

    void Run();
    void Dispose(const Frame& frame);
};

// ---------------------------------------------------------------------------------------------------------------
// Player

unsigned __stdcall AnimatedPicture::PlayerMain(void* argument) {
    // The thread's own reference: the playback lives as long as the thread uses it.
    std::unique_ptr<std::shared_ptr<Playback>> playback(static_cast<std::shared_ptr<Playback>*>(argument));
    (*playback)->Run();
    return 0;
}

void AnimatedPicture::Playback::Dispose(const Frame& frame) {
    switch (frame.disposal) {
    case 2: fw::FillSolid(back.dc(), frame.Rect(), background); break;
    case 3:
        if (save) {
            BitBlt(back.dc(), frame.left, frame.top, frame.width, frame.height, save.dc(), 0, 0, SRCCOPY);
            save.Reset();
        }
        break;
    default: break;  // the next frame is drawn over this one
    }
}

void AnimatedPicture::Playback::Run() {
    {
        // A fresh start only fills a first frame that restores to the background; a start after a stop completes the
        // disposal that was pending when the player stopped during that frame's delay.
        std::lock_guard lock(bufferLock);
        Dispose(frames[currentFrame]);
    }
    while (!exitRequested) {
        const Frame& frame = frames[currentFrame];
        bool drawn = false;
        {
            std::lock_guard lock(bufferLock);
            if (frame.disposal == 3 && save.Create(back.dc(), frame.width, frame.height))
                BitBlt(save.dc(), 0, 0, frame.width, frame.height, back.dc(), frame.left, frame.top, SRCCOPY);
            drawn = RenderPicture(frame.picture.get(), back.dc(), frame.left, frame.top, frame.width, frame.height);
        }
        if (drawn) InvalidateRect(window, nullptr, FALSE);
        if (exitRequested) break;
        wait(stopEvent.get(), core::FrameWaitMs(frame.delay));
        if (exitRequested) break;

        std::lock_guard lock(bufferLock);
        Dispose(frame);
        if (++currentFrame == frames.size()) {
            currentFrame = 0;
            fw::FillSolid(back.dc(), RECT{0, 0, width, height}, background);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// The control

AnimatedPicture::AnimatedPicture()
    : frameWait_([](HANDLE stopEvent, DWORD milliseconds) { WaitForSingleObject(stopEvent, milliseconds); }) {}

AnimatedPicture::~AnimatedPicture() { ReleasePicture(); }

void AnimatedPicture::SetFrameWait(FrameWait wait) { frameWait_ = std::move(wait); }

bool AnimatedPicture::IsReady() const { return playback_ && playback_->back; }
bool AnimatedPicture::IsAnimated() const { return isGif_ && playback_ && playback_->frames.size() > 1; }
std::size_t AnimatedPicture::FrameCount() const { return playback_ ? playback_->frames.size() : 0; }

SIZE AnimatedPicture::PictureSize() const {
    return playback_ ? SIZE{playback_->width, playback_->height} : SIZE{0, 0};
}

COLORREF AnimatedPicture::BackgroundColour() const { return playback_ ? playback_->background : 0xFFFFFF; }

COLORREF AnimatedPicture::BackBufferPixel(int x, int y) const {
    if (!IsReady() || x < 0 || y < 0 || x >= playback_->width || y >= playback_->height) return CLR_INVALID;
    std::lock_guard lock(playback_->bufferLock);
    return GetPixel(playback_->back.dc(), x, y);
}

BOOL AnimatedPicture::LoadPicture(const wchar_t* resourceName, const wchar_t* resourceType) {
    const std::span<const std::uint8_t> bytes = fw::FindResourceData(resourceName, resourceType);
    if (bytes.empty()) return FALSE;
    const auto size = static_cast<DWORD>(bytes.size());

    // The loader reads from a stream on global memory, so the resource is copied into a block of its own.
    fw::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size));
    if (!block) return FALSE;
    void* copy = GlobalLock(block.get());
    if (!copy) return FALSE;
    std::memcpy(copy, bytes.data(), size);
    GlobalUnlock(block.get());
    return LoadPicture(block.get(), size);
}

BOOL AnimatedPicture::LoadPicture(HGLOBAL memory, DWORD size) {
    ReleasePicture();
    const auto* data = static_cast<const std::uint8_t*>(GlobalLock(memory));
    if (!data) return FALSE;

    core::GifParser parser(std::span(data, size));
    if (!parser.IsGif()) {
        GlobalUnlock(memory);
        return LoadStill(memory, size, std::nullopt);
    }
    isGif_ = true;
    const SIZE screen{static_cast<LONG>(parser.ScreenWidth()), static_cast<LONG>(parser.ScreenHeight())};
    const std::size_t frames = parser.CountFrames();
    BOOL loaded = FALSE;
    if (frames >= 2) loaded = LoadFrames(parser, screen);
    GlobalUnlock(memory);
    if (frames == 1) loaded = LoadStill(memory, size, screen);
    return loaded;
}

BOOL AnimatedPicture::LoadStill(HGLOBAL memory, DWORD size, std::optional<SIZE> gifScreen) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, FALSE, &stream))) return FALSE;
    IPicture* picture = nullptr;
    const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(loaded) || !picture) return FALSE;
    stillPicture_.reset(picture);
    if (gifScreen) return PrepareBackBuffer(gifScreen->cx, gifScreen->cy);

    // Other formats: the picture's own size at the screen's resolution.
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);
    fw::ClientDc dc(hwnd_);
    if (!dc) return FALSE;
    const int width = MulDiv(w, GetDeviceCaps(dc.get(), LOGPIXELSX), 2540);
    const int height = MulDiv(h, GetDeviceCaps(dc.get(), LOGPIXELSY), 2540);
    return PrepareBackBuffer(width, height);
}

BOOL AnimatedPicture::LoadFrames(core::GifParser& parser, SIZE screen) {
    parser.ResetToBlockStart();
    auto playback = std::make_shared<Playback>();
    while (const auto cut = parser.CutNextFrame()) {
        // Each frame becomes a stream of its own, which frees its block when released.
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, cut->streamLength);
        if (!block) break;
        auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
        const bool written = bytes && parser.WriteFrameStream(*cut, std::span(bytes, cut->streamLength));
        GlobalUnlock(block);
        IStream* stream = nullptr;
        if (!written || FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
            GlobalFree(block);
            continue;
        }
        IPicture* picture = nullptr;
        const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(cut->streamLength), FALSE, IID_IPicture,
                                              reinterpret_cast<void**>(&picture));
        stream->Release();
        if (FAILED(loaded) || !picture) continue;
        playback->frames.push_back(Playback::Frame{PictureRef(picture), static_cast<int>(cut->left),
                                                   static_cast<int>(cut->top), static_cast<int>(cut->width),
                                                   static_cast<int>(cut->height), cut->delay, cut->disposal});
    }
    if (playback->frames.empty()) return FALSE;
    playback_ = std::move(playback);
    return PrepareBackBuffer(screen.cx, screen.cy);
}

BOOL AnimatedPicture::PrepareBackBuffer(int width, int height) {
    if (!playback_) playback_ = std::make_shared<Playback>();
    Playback& p = *playback_;
    p.window = hwnd_;
    p.width = width;
    p.height = height;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    fw::ClientDc dc(hwnd_);
    if (!dc || !p.back.Create(dc.get(), width, height)) return FALSE;
    p.background = GetSysColor(COLOR_BTNFACE);
    // The buffer starts in the menu colour; the background colour only fills what frames leave behind.
    const RECT whole{0, 0, width, height};
    FillRect(p.back.dc(), &whole, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1)));
    return TRUE;
}

BOOL AnimatedPicture::ShowPicture() {
    if (!IsReady() || IsPlaying()) return FALSE;
    Playback& p = *playback_;
    if (IsAnimated()) {
        p.wait = frameWait_;
        auto* reference = new std::shared_ptr<Playback>(playback_);
        // The runtime's own thread start, so that the runtime's per-thread data exists in the player.
        const auto handle = _beginthreadex(nullptr, 0, &AnimatedPicture::PlayerMain, reference, CREATE_SUSPENDED,
                                           nullptr);
        if (!handle) {
            delete reference;
            return FALSE;
        }
        thread_.reset(reinterpret_cast<HANDLE>(handle));
        ResumeThread(thread_.get());
        return FALSE;
    }

    // A still picture, or the one frame of an animated GIF that the loader could decode, drawn at its place.
    bool drawn = false;
    {
        std::lock_guard lock(p.bufferLock);
        if (stillPicture_) {
            drawn = RenderPicture(stillPicture_.get(), p.back.dc(), 0, 0, p.width, p.height);
        } else if (p.frames.size() == 1) {
            const Playback::Frame& frame = p.frames.front();
            drawn = RenderPicture(frame.picture.get(), p.back.dc(), frame.left, frame.top, frame.width, frame.height);
        }
    }
    if (!drawn) return FALSE;
    InvalidateRect(hwnd_, nullptr, FALSE);
    return TRUE;
}

void AnimatedPicture::StopPlayer() {
    if (!playback_) return;
    Playback& p = *playback_;
    p.exitRequested = true;
    SetEvent(p.stopEvent.get());
    if (thread_) {
        const DWORD waited = WaitForSingleObject(thread_.get(), kPlayerStopWaitMs);
        thread_.reset();
        if (waited != WAIT_OBJECT_0) {
            // Still running (stuck in the loader's drawing): it keeps the playback, with its exit flag and event set,
            // and frees it when it ends. The control lets go of the picture and is empty from here on.
            playback_.reset();
            stillPicture_.reset();
            isGif_ = false;
            return;
        }
    }
    ResetEvent(p.stopEvent.get());
    p.exitRequested = false;
}

void AnimatedPicture::ReleasePicture() {
    StopPlayer();
    stillPicture_.reset();
    playback_.reset();
    isGif_ = false;
}

void AnimatedPicture::OnPaint() {
    fw::PaintDc paint(hwnd_);
    if (!IsReady()) return;
    std::lock_guard lock(playback_->bufferLock);
    BitBlt(paint.get(), 0, 0, playback_->width, playback_->height, playback_->back.dc(), 0, 0, SRCCOPY);
}

void AnimatedPicture::OnDestroy() {
    StopPlayer();
    Default();
}
