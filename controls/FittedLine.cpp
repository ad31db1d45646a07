#include "controls/FittedLine.h"

#include "framework/Handles.h"

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr wchar_t kEllipsis[] = L"\u2026";
constexpr int kMaxTipWidth = 400;

int WidthIn(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The length of the first character: two units for a surrogate pair.
std::size_t FirstCharacterLength(const std::wstring& text) {
    return text.size() >= 2 && IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]) ? 2 : 1;
}

}  // namespace

FittedLine::~FittedLine() { tip_.Destroy(); }

std::wstring FittedLine::Fit(HDC dc, const std::wstring& text, int width) {
    if (text.empty() || WidthIn(dc, text) <= width) return text;
    const std::size_t first = FirstCharacterLength(text);
    // The character, then whole readings (a reading ends at a comma) while they and the ellipsis fit.
    std::wstring shown;
    for (std::size_t comma = text.find(L',', first); comma != std::wstring::npos; comma = text.find(L',', comma + 1)) {
        std::wstring candidate = text.substr(0, comma) + kEllipsis;
        if (WidthIn(dc, candidate) > width) break;
        shown = std::move(candidate);
    }
    if (!shown.empty()) return shown;
    // Not even the first reading fits whole: as many characters as fit, never fewer than the first.
    std::size_t end = first;
    for (std::size_t next = first; next < text.size(); ++next) {
        if (IS_HIGH_SURROGATE(text[next])) continue;  // never cut a pair in two
        if (WidthIn(dc, text.substr(0, next + 1) + kEllipsis) > width) break;
        end = next + 1;
    }
    return text.substr(0, end) + kEllipsis;
}

void FittedLine::PreSubclassWindow() {
    // The line draws itself (DrawItem); the system keeps its text and asks for the drawing whenever it would paint.
    ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
    // Mouse messages over a static go to its parent, so the tooltip watches the parent, over this line's rectangle.
    if (HWND parent = GetParent(); parent && tip_.Create(parent, 0)) {
        RECT rect{};
        GetWindowRect(hwnd_, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        tip_.AddTool(parent, kToolId, "", rect, true);
        tip_.SetMaxTipWidth(kMaxTipWidth);
    }
    UpdateTip();
    fw::Window::PreSubclassWindow();
}

bool FittedLine::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_SETTEXT && message != WM_SETFONT) return false;
    result = Default();
    UpdateTip();
    return true;
}

std::wstring FittedLine::Shown() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    fw::ClientDc dc(hwnd_);
    if (!dc) return {};
    fw::ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    return Fit(dc.get(), fw::WindowTextW(hwnd_), client.right - client.left);
}

void FittedLine::UpdateTip() {
    if (!tip_) return;
    const std::wstring text = fw::WindowTextW(hwnd_);
    const bool cut = Shown() != text;
    tip_.UpdateTipText(GetParent(), kToolId, cut ? GetWindowText() : std::string());
    tip_.Activate(cut);
}

bool FittedLine::DrawItem(DRAWITEMSTRUCT* drawItem) {
    if (drawItem->CtlType != ODT_STATIC) return false;
    HDC dc = drawItem->hDC;
    // The parent's colour request sets the text colour and gives the background, as for a plain static.
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(GetParent(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    // Filled whatever the transparency, so a shorter text never leaves the end of a longer one behind.
    FillRect(dc, &drawItem->rcItem, brush);
    if (!IsWindowEnabled(hwnd_)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    fw::ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    const std::wstring shown = Fit(dc, fw::WindowTextW(hwnd_), drawItem->rcItem.right - drawItem->rcItem.left);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT area = drawItem->rcItem;
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &area, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, oldMode);
    return true;
}
