// A flat owner-drawn push button with an icon: no border at rest, a raised border while the pointer is over it, a
// sunken one while pressed. It can borrow the parent's pixels as its background so that it blends into a coloured
// dialog, carry a tooltip and its own pointer cursor, and open an address when clicked (the parent is still told of
// the click). It is always attached to an existing push button of a dialog template with SubclassDlgItem.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "framework/Handles.h"
#include "framework/ToolTip.h"
#include "framework/Window.h"

class IconButton : public fw::Window {
public:
    enum Slot : BYTE { HotBack = 0, HotText, NormalBack, NormalText, FocusBack, FocusText };
    enum Result { IconButtonOk = 0, IconButtonInvalidResource = 1, IconButtonInvalidIndex = 3 };
    static constexpr int kSlotCount = 6;
    static constexpr int kUrlCapacity = 260;  // bytes including the terminating zero

    IconButton();
    ~IconButton() override;

    // Loads the icons from the program's resources (iconOutId 0 = no separate normal-state icon).
    int AssignIcons(UINT iconInId, UINT iconOutId = 0);
    // Takes ownership of both icons. iconIn is shown while hot (and at rest when iconOut is null).
    int AssignIcons(HICON iconIn, HICON iconOut);
    int SetSlotColour(BYTE slot, COLORREF colour, BOOL repaint = TRUE);
    int ResetColours(BOOL repaint = TRUE);
    void SetTipText(const char* gbkText, BOOL activate = TRUE);
    int SetHoverCursor(UINT cursorId, BOOL repaint = TRUE);
    int SetLinkAddress(const char* gbkUrl);
    void UseParentBackground(BOOL repaint = TRUE);
    virtual int PaintBackground(HDC dc, const RECT* rect);
    virtual int PaintBorder(HDC dc, const RECT* rect);

    // State as the button sees it, for its owner and for checks.
    BOOL IsHover() const { return isHover_; }
    BOOL IsTransparent() const { return isTransparent_; }
    BOOL IsPressed() const { return isPressed_; }
    BOOL IsFocused() const { return isFocused_; }
    BOOL IsDisabled() const { return isDisabled_; }
    BOOL IsDefault() const { return isDefault_; }
    COLORREF SlotColour(BYTE slot) const { return slot < kSlotCount ? colours_[slot] : CLR_INVALID; }
    HCURSOR HoverCursor() const { return buttonCursor_.get(); }
    std::string LinkAddress() const { return std::string(url_.data()); }
    HICON HotIcon() const { return iconIn_.handle.get(); }
    HICON NormalIcon() const { return iconOut_.handle.get(); }
    SIZE HotIconSize() const { return SIZE{static_cast<LONG>(iconIn_.width), static_cast<LONG>(iconIn_.height)}; }
    bool HasBackgroundCache() const { return static_cast<bool>(backgroundDc_); }
    const fw::ToolTip& Tooltip() const { return tooltip_; }

    BOOL PreTranslateMessage(MSG* message) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DrawItem(DRAWITEMSTRUCT* drawItem) override;

protected:
    void PreSubclassWindow() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnReflectedCommand(UINT code) override;
    HBRUSH OnReflectedCtlColor(HDC dc, UINT message) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnMouseLeave() override;
    void OnSysColorChange() override;
    void OnEnable(BOOL enabled) override;
    void OnKillFocus(HWND newFocus) override;
    void OnActivate(UINT state, HWND other, BOOL minimized) override;
    void OnCancelMode() override;
    UINT OnGetDlgCode() override;

private:
    struct IconSlot {
        fw::UniqueIcon handle;
        DWORD width = 0;
        DWORD height = 0;
    };

    void EndHover();
    void Repaint() const;
    void PaintParentBackground(HDC dc);
    void DiscardBackgroundCache();
    void DrawIconImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool pressed, bool disabled);
    void FreeIcons();
    bool QueryIcon(IconSlot& slot, HICON icon);
    void EnsureTooltip();
    bool IsHot() const { return isHover_ || isPressed_; }

    BOOL isHover_ = FALSE;
    BOOL isTransparent_ = FALSE;
    BOOL isPressed_ = FALSE;
    BOOL isFocused_ = FALSE;
    BOOL isDisabled_ = FALSE;
    BOOL isDefault_ = FALSE;
    std::array<COLORREF, kSlotCount> colours_{};
    fw::UniqueCursor buttonCursor_;
    fw::ToolTip tooltip_;
    // The parent's pixels under the button, captured at the first transparent paint; previousBitmap_ goes back into
    // the DC before the bitmap is deleted.
    fw::UniqueMemoryDc backgroundDc_;
    fw::UniqueBitmap backgroundBitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
    std::array<char, kUrlCapacity> url_{};
    IconSlot iconIn_;
    IconSlot iconOut_;
};
