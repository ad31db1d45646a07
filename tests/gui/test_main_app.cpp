// The application object: the dialog colours, the single-instance guard, and one whole run of the main window.
#include "tests/support/MainWindowFixture.h"

namespace {

using namespace testing_support;

constexpr const wchar_t* kMutexName = L"TarviskInstance";
constexpr const wchar_t* kMainCaption = L"Tarvisk  最终版";

class LookupAppTest : public ::testing::Test {
protected:
    void SetUp() override { fw::SetDialogColours(RGB(0, 0, 0), RGB(0, 0, 0)); }

    RecordingPlatform platform;
    PlatformScope scope{platform};
    TempWorkFolder folder;
};

TEST_F(LookupAppTest, ASecondCopySaysSoAndEndsWithoutAWindow) {
    fw::UniqueKernelHandle running(CreateMutexW(nullptr, TRUE, kMutexName));
    ASSERT_TRUE(running);
    LookupApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(fw::DialogBackgroundColour(), RGB(49, 106, 197));
    EXPECT_EQ(fw::DialogTextColour(), RGB(255, 255, 255));
    ASSERT_EQ(platform.calls.size(), 1u);  // no window, no hotkey, no tray icon
    const PlatformCall& box = platform.calls[0];
    EXPECT_EQ(box.name, "MessageBox");
    EXPECT_EQ(box.text, (std::vector<std::string>{Gbk(L"已经有一个Tarvisk在运行了！"), app.AppName()}));
    EXPECT_EQ(box.numbers[0], MB_ICONEXCLAMATION);
    EXPECT_EQ(box.window, nullptr);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(FileExists(folder.File(L"user.ini")));
}

TEST_F(LookupAppTest, AFirstCopyHoldsTheMutexWhileTheMainWindowRuns) {
    LookupApp app;
    bool heldDuringRun = false;
    bool mainWindowSet = false;
    WindowDriver driver(kMainCaption, [&](HWND main) {
        fw::UniqueKernelHandle seen(OpenMutexW(SYNCHRONIZE, FALSE, kMutexName));
        heldDuringRun = static_cast<bool>(seen);
        mainWindowSet = app.mainWindow && app.mainWindow->GetSafeHwnd() == main;
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_EXITBTN, BN_CLICKED), 0);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(driver.Ran());
    EXPECT_TRUE(heldDuringRun);
    EXPECT_TRUE(mainWindowSet);
    EXPECT_EQ(app.mainWindow, nullptr);
    EXPECT_EQ(platform.CountOf("RegisterHotKey"), 1);
    EXPECT_EQ(platform.CountOf("UnregisterHotKey"), 1);
    EXPECT_EQ(ReadFileBytes(folder.File(L"user.ini")).size(), 25u);
    app.ExitInstance();
}

}  // namespace
