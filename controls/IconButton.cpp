// The flat icon button: an owner-drawn push button that lights up only while the pointer is over it.
#include "controls/IconButton.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "core/IconLayout.h"
#include "framework/Application.h"
#include "framework/Gdi.h"
#include "framework/Platform.h"
#include "framework/Text.h"

namespace {

constexpr DWORD kButtonTypeMask = 0x1F;  // the type bits (BS_TYPEMASK) and the unused bit above them
constexpr UINT kDrawTextFlags = DT_WORDBREAK | DT_CENTER;
constexpr int kMaxTipWidth = 400;
constexpr UINT_PTR kToolId = 1;

core::Box ToBox(const RECT& rect) { return core::Box{rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const core::Box& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

HANDLE LoadFromResources(UINT id, UINT type) {
    return LoadImageW(fw::ResourceModule(), MAKEINTRESOURCEW(id), type, 0, 0, LR_DEFAULTCOLOR);
}

}  // namespace

IconButton::IconButton() { ResetColours(FALSE); }

IconButton::~IconButton() {
    DiscardBackgroundCache();
    FreeIcons();
    tooltip_.Destroy();
}

int IconButton::AssignIcons(UINT iconInId, UINT iconOutId) {
    HICON in = static_cast<HICON>(LoadFromResources(iconInId, IMAGE_ICON));
    HICON out = iconOutId ? static_cast<HICON>(LoadFromResources(iconOutId, IMAGE_ICON)) : nullptr;
    return AssignIcons(in, out);
}

int IconButton::AssignIcons(HICON iconIn, HICON iconOut) {
    FreeIcons();
    // Both icons are ours from here on, so one that is not kept is destroyed rather than leaked.
    fw::UniqueIcon out(iconOut);
    if (iconIn) {
        if (!QueryIcon(iconIn_, iconIn)) {
            FreeIcons();
            return IconButtonInvalidResource;
        }
        if (out && !QueryIcon(iconOut_, out.release())) {
            FreeIcons();
            return IconButtonInvalidResource;
        }
    }
    Repaint();
    return IconButtonOk;
}

bool IconButton::QueryIcon(IconSlot& slot, HICON icon) {
    slot.handle.reset(icon);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    fw::UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
    // An icon's hot spot is its centre, so twice the hot spot is its size.
    slot.width = 2 * info.xHotspot;
    slot.height = 2 * info.yHotspot;
    return true;
}

void IconButton::FreeIcons() {
    iconIn_ = IconSlot{};
    iconOut_ = IconSlot{};
}

int IconButton::SetSlotColour(BYTE slot, COLORREF colour, BOOL repaint) {
    if (slot >= kSlotCount) return IconButtonInvalidIndex;
    colours_[slot] = colour;
    if (repaint) Repaint();
    return IconButtonOk;
}

int IconButton::ResetColours(BOOL repaint) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    colours_[HotBack] = colours_[NormalBack] = colours_[FocusBack] = face;
    colours_[HotText] = colours_[NormalText] = colours_[FocusText] = text;
    if (repaint) Repaint();
    return IconButtonOk;
}

void IconButton::SetTipText(const char* gbkText, BOOL activate) {
    if (!gbkText) return;
    EnsureTooltip();
    if (!tooltip_) return;
    if (tooltip_.GetToolCount() == 0) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        tooltip_.AddTool(hwnd_, kToolId, gbkText, client);
    }
    tooltip_.UpdateTipText(hwnd_, kToolId, gbkText);
    tooltip_.Activate(activate != FALSE);
}

int IconButton::SetHoverCursor(UINT cursorId, BOOL repaint) {
    buttonCursor_.reset();
    if (cursorId == 0) return IconButtonOk;
    buttonCursor_.reset(static_cast<HCURSOR>(LoadFromResources(cursorId, IMAGE_CURSOR)));
    if (repaint) Repaint();
    return buttonCursor_ ? IconButtonOk : IconButtonInvalidResource;
}

int IconButton::SetLinkAddress(const char* gbkUrl) {
    url_.fill('\0');
    if (gbkUrl) std::memcpy(url_.data(), gbkUrl, std::min(std::strlen(gbkUrl), url_.size() - 1));
    return IconButtonOk;
}

void IconButton::UseParentBackground(BOOL repaint) {
    isTransparent_ = TRUE;
    DiscardBackgroundCache();
    if (repaint) Repaint();
}

void IconButton::DiscardBackgroundCache() {
    if (backgroundDc_ && previousBitmap_) SelectObject(backgroundDc_.get(), previousBitmap_);
    previousBitmap_ = nullptr;
    backgroundBitmap_.reset();
    backgroundDc_.reset();
}

int IconButton::PaintBackground(HDC dc, const RECT* rect) {
    const COLORREF colour = IsHot() ? colours_[HotBack] : isFocused_ ? colours_[FocusBack] : colours_[NormalBack];
    fw::FillSolid(dc, rect->left, rect->top, rect->right, rect->bottom, colour);
    return 0;
}

int IconButton::PaintBorder(HDC dc, const RECT* rect) {
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    if (isPressed_)
        fw::Draw3dRect(dc, *rect, shadow, highlight);
    else
        fw::Draw3dRect(dc, *rect, highlight, shadow);
    return 0;
}

void IconButton::PreSubclassWindow() {
    const DWORD type = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)) & kButtonTypeMask;
    if (type == BS_DEFPUSHBUTTON) isDefault_ = TRUE;
    ModifyStyle(kButtonTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
    fw::Window::PreSubclassWindow();
}

bool IconButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != BM_SETSTYLE) return false;
    // The dialog manager moves the default-button look with BM_SETSTYLE; remember which look is wanted and keep
    // the button owner-drawn instead of letting it turn back into a plain push button.
    const DWORD type = static_cast<DWORD>(wParam) & kButtonTypeMask;
    if (type == BS_DEFPUSHBUTTON)
        isDefault_ = TRUE;
    else if (type == BS_PUSHBUTTON)
        isDefault_ = FALSE;
    const WPARAM ownerDrawn = (wParam & ~static_cast<WPARAM>(0x14)) | BS_OWNERDRAW;
    result = DefWindowProc(BM_SETSTYLE, ownerDrawn, lParam);
    return true;
}

LRESULT IconButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A double click presses the button a second time instead of being a separate notification.
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    return fw::Window::DefWindowProc(message, wParam, lParam);
}

BOOL IconButton::PreTranslateMessage(MSG* message) {
    EnsureTooltip();
    tooltip_.RelayEvent(message);
    return fw::Window::PreTranslateMessage(message);
}

void IconButton::EnsureTooltip() {
    if (tooltip_ || !hwnd_) return;
    if (!tooltip_.Create(hwnd_, 0)) return;
    tooltip_.Activate(false);
    tooltip_.SetMaxTipWidth(kMaxTipWidth);
}

bool IconButton::OnReflectedCommand(UINT code) {
    if (code == BN_CLICKED && url_[0] != '\0')
        fw::Sys().ShellExecuteEx(SEE_MASK_FLAG_NO_UI, "open", url_.data(), SW_SHOWMAXIMIZED);
    return false;  // the parent hears of the click as well
}

HBRUSH IconButton::OnReflectedCtlColor(HDC, UINT) { return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)); }

BOOL IconButton::OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage) {
    if (buttonCursor_) {
        SetCursor(buttonCursor_.get());
        return TRUE;
    }
    return fw::Window::OnSetCursor(window, hitTest, mouseMessage);
}

void IconButton::OnMouseMove(UINT flags, POINT point) {
    Default();
    POINT screen = point;
    ClientToScreen(hwnd_, &screen);
    HWND under = WindowFromPoint(screen);
    // Pressing elsewhere and dragging onto the button does not light it.
    if ((flags & MK_LBUTTON) && !isHover_) return;
    HWND active = GetActiveWindow();
    if (under == hwnd_ && active) {
        if (!isHover_) {
            isHover_ = TRUE;
            Repaint();
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = hwnd_;
            _TrackMouseEvent(&track);
        }
        return;
    }
    EndHover();
}

void IconButton::OnMouseLeave() { EndHover(); }

void IconButton::EndHover() {
    if (!isHover_) return;
    isHover_ = FALSE;
    Repaint();
}

void IconButton::OnSysColorChange() {
    fw::Window::OnSysColorChange();
    DiscardBackgroundCache();
}

void IconButton::OnEnable(BOOL enabled) {
    Default();
    if (enabled) return;
    // A disabled button cannot keep the focus: hand it to the next tab stop, or to the dialog itself.
    HWND parent = GetParent();
    HWND next = parent ? GetNextDlgTabItem(parent, hwnd_, FALSE) : nullptr;
    if (next)
        SetFocus(next);
    else if (parent)
        SetFocus(parent);
    EndHover();
}

void IconButton::OnKillFocus(HWND) {
    Default();
    EndHover();
}

void IconButton::OnActivate(UINT state, HWND, BOOL) {
    Default();
    if (state == WA_INACTIVE) EndHover();
}

void IconButton::OnCancelMode() {
    Default();
    EndHover();
}

UINT IconButton::OnGetDlgCode() {
    const UINT code = static_cast<UINT>(Default());
    return code | (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void IconButton::Repaint() const {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool IconButton::DrawItem(DRAWITEMSTRUCT* drawItem) {
    if (!drawItem || drawItem->CtlType != ODT_BUTTON) return false;
    HDC dc = drawItem->hDC;
    const RECT item = drawItem->rcItem;
    isPressed_ = (drawItem->itemState & ODS_SELECTED) ? TRUE : FALSE;
    isFocused_ = (drawItem->itemState & ODS_FOCUS) ? TRUE : FALSE;
    isDisabled_ = (drawItem->itemState & ODS_DISABLED) ? TRUE : FALSE;

    SetBkMode(dc, TRANSPARENT);
    if (isTransparent_)
        PaintParentBackground(dc);
    else
        PaintBackground(dc, &item);
    if (isPressed_ || isHover_) PaintBorder(dc, &item);

    const std::wstring caption = hwnd_ ? fw::Widen(GetWindowText()) : std::wstring();
    RECT captionRect = item;
    if (iconIn_.handle) DrawIconImage(dc, !caption.empty(), item, captionRect, isPressed_, isDisabled_);

    if (!caption.empty()) {
        if (isPressed_) OffsetRect(&captionRect, 1, 1);
        const RECT area = captionRect;
        DrawTextW(dc, caption.c_str(), -1, &captionRect, DT_CALCRECT | kDrawTextFlags);
        // A caption whose widest word is wider than the room beside the icon cannot be read there; it only carries
        // a mnemonic (the mini-window button's blanks and "(&m)"). Drawing it anyway left a stray letter over the
        // icon, because DrawText packs the blanks differently once the rectangle has grown to that word.
        if (captionRect.right - captionRect.left > area.right - area.left) return true;
        const auto [dx, dy] = core::CentreOffset(ToBox(area), captionRect.right - captionRect.left,
                                                 captionRect.bottom - captionRect.top);
        OffsetRect(&captionRect, dx, dy);
        SetBkMode(dc, TRANSPARENT);
        if (isDisabled_) {
            // Embossed: a highlight copy one pixel down and right, the shadow-coloured text on top.
            OffsetRect(&captionRect, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextW(dc, caption.c_str(), -1, &captionRect, kDrawTextFlags);
            OffsetRect(&captionRect, -1, -1);
            SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        } else {
            SetTextColor(dc, IsHot() ? colours_[HotText] : colours_[NormalText]);
        }
        DrawTextW(dc, caption.c_str(), -1, &captionRect, kDrawTextFlags);
    }
    return true;
}

void IconButton::DrawIconImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool pressed,
                               bool disabled) {
    const IconSlot& slot = IsHot() ? iconIn_ : iconOut_.handle ? iconOut_ : iconIn_;
    core::Box captionBox = ToBox(caption);
    const RECT icon = ToRect(core::PlaceIcon(hasCaption, ToBox(item), captionBox, pressed,
                                             static_cast<int>(slot.width), static_cast<int>(slot.height)));
    caption = ToRect(captionBox);
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(slot.handle.get()), 0, icon.left, icon.top,
               icon.right - icon.left, icon.bottom - icon.top, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

void IconButton::PaintParentBackground(HDC dc) {
    HWND parent = GetParent();
    if (!parent) return;
    fw::ClientDc parentDc(parent);
    if (!parentDc) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT position{};
    GetWindowRect(hwnd_, &position);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&position), 2);
    const int width = client.right - client.left, height = client.bottom - client.top;

    if (!backgroundDc_) {
        // Captured once: later paints reuse the pixels until the cache is discarded, so a repaint is one BitBlt.
        backgroundDc_.reset(CreateCompatibleDC(parentDc.get()));
        if (!backgroundDc_) return;
        backgroundBitmap_.reset(CreateCompatibleBitmap(parentDc.get(), width, height));
        if (!backgroundBitmap_) {
            backgroundDc_.reset();
            return;
        }
        previousBitmap_ = SelectObject(backgroundDc_.get(), backgroundBitmap_.get());
        BitBlt(backgroundDc_.get(), 0, 0, width, height, parentDc.get(), position.left, position.top, SRCCOPY);
    }
    BitBlt(dc, 0, 0, width, height, backgroundDc_.get(), 0, 0, SRCCOPY);
}
