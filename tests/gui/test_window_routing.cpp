// How a window object takes a control's messages and gives them back: the control keeps its own behaviour while
// routed, gets its own procedure back when the object lets go, and a subclass the common controls put above ours
// later (as a tooltip watching its tool does) keeps working after that, and to the window's end.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/Window.h"
#include "tests/support/AppTestKit.h"

namespace {

using testing_support::TextOf;

class SetTextCounter : public fw::Window {
public:
    int setTexts = 0;
    int ncDestroys = 0;

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_SETTEXT) ++setTexts;
        if (message == WM_NCDESTROY) ++ncDestroys;
        return false;
    }
};

struct Seen {
    int setTexts = 0;
    int ncDestroys = 0;
};

LRESULT CALLBACK CountingSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    auto* seen = reinterpret_cast<Seen*>(data);
    if (message == WM_SETTEXT) ++seen->setTexts;
    if (message == WM_NCDESTROY) ++seen->ncDestroys;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

HWND NewEdit() {
    return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

TEST(WindowRouting, TheControlKeepsItsBehaviourAndGetsItsProcedureBack) {
    const HWND edit = NewEdit();
    ASSERT_TRUE(edit);
    const LONG_PTR own = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetTextCounter object;
    ASSERT_TRUE(object.SubclassWindow(edit));
    EXPECT_EQ(fw::Window::FromHandle(edit), &object);
    SetWindowTextW(edit, L"甲");
    EXPECT_EQ(object.setTexts, 1);
    EXPECT_EQ(TextOf(edit), L"甲") << "the edit's own procedure stored the text";

    EXPECT_EQ(object.UnsubclassWindow(), edit);
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), own);
    SetWindowTextW(edit, L"乙");
    EXPECT_EQ(object.setTexts, 1);
    EXPECT_EQ(TextOf(edit), L"乙");
    DestroyWindow(edit);
}

TEST(WindowRouting, ASubclassAddedAboveOursKeepsWorkingAfterTheObjectLetsGo) {
    const HWND edit = NewEdit();
    ASSERT_TRUE(edit);
    Seen seen;
    {
        SetTextCounter first;
        ASSERT_TRUE(first.SubclassWindow(edit));
        ASSERT_TRUE(SetWindowSubclass(edit, CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&seen)));
    }  // the object goes while the later subclass still sits above its routing
    SetWindowTextW(edit, L"丙");
    EXPECT_EQ(seen.setTexts, 1);
    EXPECT_EQ(TextOf(edit), L"丙");
    EXPECT_EQ(fw::Window::FromHandle(edit), nullptr);

    // A new object takes the window over; the window's end reaches both, and the object forgets the handle.
    SetTextCounter second;
    ASSERT_TRUE(second.SubclassWindow(edit));
    SetWindowTextW(edit, L"丁");
    EXPECT_EQ(second.setTexts, 1);
    EXPECT_EQ(seen.setTexts, 2);
    EXPECT_EQ(TextOf(edit), L"丁");
    DestroyWindow(edit);
    EXPECT_EQ(second.ncDestroys, 1);
    EXPECT_EQ(seen.ncDestroys, 1);
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
}

}  // namespace
