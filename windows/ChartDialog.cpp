#include "windows/ChartDialog.h"

#include "framework/Handles.h"
#include "framework/Text.h"
#include "resources/resource.h"

const ChartKind kChartKinds[3] = {
    {0, IDD_CHART86, IDC_CHART86PIC, IDG_CHART86, 233},
    {1, IDD_CHART98, IDC_CHART98PIC, IDG_CHART98, 233},
    {2, IDD_CHARTRARE, IDC_CHARTRAREPIC, IDG_CHARTRARE, 175},
};

ChartDialog::ChartDialog(const ChartKind& kind) : fw::Dialog(kind.templateId), kind_(kind) {}

void ChartDialog::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Control(dx, static_cast<int>(kind_.pictureId), chartPicture);
}

// The picture is decoded when the chart is first about to show, not when it is created with the main window: most
// runs never show a chart, and the three decoded pictures cost a seventh of the program's start-up time under Wine and
// some 3 MB. Whatever shows the popup (ShowWindow, or SetWindowPos with SWP_SHOWWINDOW) passes here first, so the
// popup comes up at the picture's size. A picture that cannot be loaded leaves the template's size, and OnPaint says
// why.
bool ChartDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
    if (message != WM_WINDOWPOSCHANGING || pictureTried_) return false;
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!(position->flags & SWP_SHOWWINDOW)) return false;
    pictureTried_ = true;
    if (chartPicture.LoadPicture(MAKEINTRESOURCEW(kind_.gifId), L"GIF")) {
        chartPicture.ShowPicture();
        const SIZE frame = FrameForPicture();
        position->cx = frame.cx;
        position->cy = frame.cy;
        position->flags &= ~SWP_NOSIZE;
    }
    return false;  // the dialog's own handling goes on with the changed position
}

// The templates give the picture's size only with base units of 8 x 16 pixels; under Wine the "System" font gives
// 8 x 15 and the popup would cut off the bottom of the chart. The popup takes the picture's size instead.
SIZE ChartDialog::FrameForPicture() const {
    const SIZE picture = chartPicture.PictureSize();
    RECT frame{0, 0, picture.cx, picture.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void ChartDialog::OnLButtonDown(UINT, POINT point) {
    DragByCaption(point);
    Default();
}

void ChartDialog::OnRButtonDown(UINT, POINT) {
    ShowWindow(SW_HIDE);
    Default();
}

void ChartDialog::OnPaint() {
    if (chartPicture.IsReady()) {
        Default();
        return;
    }
    fw::PaintDc dc(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const fw::ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), fw::DialogTextColour());
    const std::wstring text = fw::Widen("字根图无法显示：程序里的图片已损坏。");
    DrawTextW(dc.get(), text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
