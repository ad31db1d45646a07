// Drives the real tarvisk.exe from another process, as a user would: finds its window by title, types through
// WM_SETTEXT, clicks through BM_CLICK and posted commands, answers its message boxes by caption, opens its menus as
// the shell and the mouse do and chooses their items with the keyboard, starts a second copy, and checks "user.ini"
// byte for byte.
//
//   tarvisk_e2e --tarvisk=PATH/tarvisk.exe --data=PATH/data [gtest options]
//   tarvisk_e2e --release=FOLDER --gtest_filter='Release.*'    the unpacked release zip (tests/release)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/DictionaryScan.h"
#include "core/SettingsArchive.h"
#include "tests/support/AppTestKit.h"
#include "tests/support/RemoteProgram.h"
#include "tests/support/ScreenKit.h"

namespace {

using namespace testing_support;

std::wstring programPath;
std::wstring dataFolder;
std::wstring releaseFolder;
std::wstring fullDiskFolder;  // a working folder where nothing more can be written

constexpr const wchar_t* kMainCaption = L"Tarvisk  最终版";
constexpr int kCode = 1002, kPinyinLine = 1007, kInput = 1000, kEd86 = 1003, kEd98 = 1004, kEdRare = 1005,
              kPinyin = 1024, kHelpButton = 1032, kExitButton = 1033;
constexpr UINT kTrayNotify = WM_USER + 1, kTrayIconId = 128;
constexpr DWORD kWaitMs = 10000;

// One run of tarvisk.exe in a working folder, with the windows the tests look for.
class Program : public RemoteProgram {
public:
    explicit Program(const std::wstring& folder) : RemoteProgram(programPath, folder) {}

    HWND WaitForMain() const { return WaitForWindow(nullptr, kMainCaption); }
    // An open popup menu, and the captionless mini window.
    HWND WaitForMenu() const { return WaitForWindow(L"#32768", L""); }
    HWND WaitForMini() const { return WaitForWindow(L"#32770", L""); }
    HWND WaitForMessageBox(const std::wstring& caption) const { return WaitForWindow(L"#32770", caption); }
};

void Type(HWND main, const std::wstring& text) {
    SendMessageTimeoutW(GetDlgItem(main, kInput), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

void Click(HWND main, int id) {
    SendMessageTimeoutW(GetDlgItem(main, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

// Posted, not sent: the command may open modal UI, or end the program.
void Press(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// What the shell sends when the user clicks the program's icon in the notification area.
void ClickTrayIcon(HWND main, UINT mouseMessage) {
    PostMessageW(main, kTrayNotify, kTrayIconId, static_cast<LPARAM>(mouseMessage));
}

bool WaitUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(30);
    }
    return true;
}

bool IsChecked(HWND main, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(main, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(programPath.empty()) << "--tarvisk=PATH is required";
        for (const auto& [name, text] : {std::pair{L"86.dll", L"工aaaa\n式aa\n"}, std::pair{L"98.dll", L"工aaaa\n"},
                                         std::pair{L"fm.dll", L"龘dddd\n"}, std::pair{L"py.dll", L"工gong\n"}})
            ASSERT_TRUE(WriteFileBytes(folder.File(name), Gbk(text)));
    }

    std::vector<std::uint8_t> Settings() const { return ReadFileBytes(folder.File(L"user.ini")); }

    TempWorkFolder folder;
};

TEST_F(EndToEnd, FirstRunLooksUpAndTheExitButtonWritesTheSettings) {
    ASSERT_FALSE(FileExists(folder.File(L"user.ini")));
    Program program(folder.Path());
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForMain();
    ASSERT_TRUE(main);
    Type(main, L"式");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"式aa");
    Press(main, kExitButton);
    ASSERT_TRUE(program.WaitForExit());
    const auto bytes = Settings();
    ASSERT_EQ(bytes.size(), 25u);
    const std::uint8_t head[] = {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'U', 's', 'e', 'r'};
    EXPECT_EQ(std::memcmp(bytes.data(), head, sizeof head), 0);
}

TEST_F(EndToEnd, EscapeAndYesRemembersTheEditionForTheNextStart) {
    {
        Program program(folder.Path());
        HWND main = program.WaitForMain();
        ASSERT_TRUE(main);
        Click(main, kEd98);
        Press(main, IDCANCEL);
        HWND question = program.WaitForMessageBox(L"退出系统");
        ASSERT_TRUE(question);
        EXPECT_EQ(RemoteText(GetDlgItem(question, 0xFFFF)), L"真的退出Tarvisk？");
        Press(question, IDYES);
        ASSERT_TRUE(program.WaitForExit());
    }
    const auto saved = core::EncodeArchive({0, 1, 0, 0});
    EXPECT_EQ(Settings(), std::vector<std::uint8_t>(saved.begin(), saved.end()));

    Program again(folder.Path());
    HWND main = again.WaitForMain();
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsChecked(main, kEd98));
    EXPECT_FALSE(IsChecked(main, 1003));
    Press(main, kExitButton);
    EXPECT_TRUE(again.WaitForExit());
}

TEST_F(EndToEnd, ASecondCopyShowsTheMessageAndEnds) {
    Program first(folder.Path());
    HWND main = first.WaitForMain();
    ASSERT_TRUE(main);

    Program second(folder.Path());
    HWND message = second.WaitForMessageBox(L"tarvisk");
    ASSERT_TRUE(message);
    EXPECT_EQ(RemoteText(GetDlgItem(message, 0xFFFF)), L"已经有一个Tarvisk在运行了！");
    EXPECT_FALSE(second.WaitForWindow(nullptr, kMainCaption, 200));
    Press(message, IDOK);
    EXPECT_TRUE(second.WaitForExit());

    // The first copy goes on untouched.
    Type(main, L"工");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"工aaaa");
    Press(main, kExitButton);
    EXPECT_TRUE(first.WaitForExit());
}

// Every way a dictionary can be unusable gets its own words on the result lines, the program keeps running, and a
// file replaced while it runs is read at the next keystroke. Also very large files and tokens: the lookup's time is
// printed.
TEST_F(EndToEnd, UnusableDictionariesAreNamedAndReplacedOnesReadAtOnce) {
    RemovePath(folder.File(L"86.dll"));
    ASSERT_TRUE(WriteFileBytes(folder.File(L"98.dll"), ""));
    ASSERT_TRUE(WriteFileBytes(folder.File(L"fm.dll"), std::string("MZ\x90\0\x03\0\0\0\x04\0", 10) + Gbk(L"龘")));
    RemovePath(folder.File(L"py.dll"));
    ASSERT_TRUE(CreateDirectoryW(folder.File(L"py.dll").c_str(), nullptr));
    Program program(folder.Path());
    HWND main = program.WaitForMain();
    ASSERT_TRUE(main);
    Click(main, kPinyin);
    const struct {
        int radio;
        const wchar_t* code;
    } editions[] = {{kEd86, L"找不到 86.dll"}, {kEd98, L"98.dll 是空的"}, {kEdRare, L"fm.dll 不是GBK文本"}};
    for (const auto& edition : editions) {
        Click(main, edition.radio);
        Type(main, L"工");
        EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), edition.code);
        EXPECT_EQ(RemoteText(GetDlgItem(main, kPinyinLine)), L"无法读取 py.dll");
    }

    // Replaced while the program runs: the next lookup reads the new file.
    ASSERT_TRUE(WriteFileBytes(folder.File(L"fm.dll"), Gbk(L"龘dddd\r\n")));
    Type(main, L"龘");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"龘dddd");
    ASSERT_TRUE(WriteFileBytes(folder.File(L"fm.dll"), Gbk(L"龘eeee\r\n")));
    Type(main, L"龘");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"龘eeee");

    // A token of a megabyte is read in pieces of 256 bytes; the next entry is still found.
    ASSERT_TRUE(WriteFileBytes(folder.File(L"fm.dll"), Gbk(L"龘") + std::string(1 << 20, 'x') + Gbk(L"\r\n式ss\r\n")));
    Type(main, L"式");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"式ss");
    Type(main, L"龘");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"龘" + std::wstring(254, L'x'));

    // 100 MB: found near its start at once; a character it lacks costs one reading of the whole file.
    std::string line = Gbk(L"式ss\r\n");
    std::string big;
    big.reserve(100u << 20);
    while (big.size() < (100u << 20)) big += line;
    ASSERT_TRUE(WriteFileBytes(folder.File(L"fm.dll"), big));
    for (const auto& [character, what] : {std::pair{L"式", "at the start"}, std::pair{L"龘", "absent"}}) {
        const ULONGLONG started = GetTickCount64();
        Type(main, character);
        std::printf("100 MB fm.dll, a character %s: %llu ms\n", what, GetTickCount64() - started);
    }
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"无");
    Type(main, L"式");
    EXPECT_EQ(RemoteText(GetDlgItem(main, kCode)), L"式ss");
    Press(main, kExitButton);
    EXPECT_TRUE(program.WaitForExit());
}

// What cannot be read or written is said in words, and no saved setting is lost: a damaged file is said at start
// and rewritten whole on the way out; a read-only file and a full disk are named when the settings cannot be saved,
// and the old file stays byte for byte.
TEST_F(EndToEnd, SettingsFaultsAreSaidAndNothingSavedIsLost) {
    const auto older = core::EncodeArchive({0, 2, 0, 0});
    const std::vector<std::uint8_t> olderBytes(older.begin(), older.end());
    auto exitAndAnswer = [](const Program& program, HWND main, const std::wstring& text) {
        Click(main, kEd98);
        Press(main, kExitButton);
        HWND box = program.WaitForMessageBox(L"RUR");
        ASSERT_TRUE(box);
        EXPECT_EQ(RemoteText(GetDlgItem(box, 0xFFFF)), L"无法进行设置！\r\n\r\n" + text);
        Press(box, IDOK);
        EXPECT_TRUE(program.WaitForExit());
    };

    {
        const std::string framingOnly(reinterpret_cast<const char*>(older.data()), 13);
        ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), framingOnly));
        Program program(folder.Path());
        HWND notice = program.WaitForMessageBox(L"Tarvisk");
        ASSERT_TRUE(notice);
        EXPECT_EQ(RemoteText(GetDlgItem(notice, 0xFFFF)),
                  L"user.ini 已损坏，读不出的设置用了默认值；下次保存时会写入完整的设置。");
        Press(notice, IDOK);
        HWND main = program.WaitForMain();
        ASSERT_TRUE(main);
        Press(main, kExitButton);
        ASSERT_TRUE(program.WaitForExit());
        const auto defaults = core::EncodeArchive({});
        EXPECT_EQ(Settings(), std::vector<std::uint8_t>(defaults.begin(), defaults.end()));
    }
    {
        ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), std::string(olderBytes.begin(), olderBytes.end())));
        SetFileAttributesW(folder.File(L"user.ini").c_str(), FILE_ATTRIBUTE_READONLY);
        Program program(folder.Path());
        HWND main = program.WaitForMain();
        ASSERT_TRUE(main);
        exitAndAnswer(program, main, L"user.ini 是只读文件，设置没有保存。原来的 user.ini 没有改动。");
        EXPECT_EQ(Settings(), olderBytes);
        SetFileAttributesW(folder.File(L"user.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (fullDiskFolder.empty()) GTEST_SKIP() << "--full-disk=PATH not given";
    {
        Program program(fullDiskFolder);
        HWND main = program.WaitForMain();
        ASSERT_TRUE(main);
        EXPECT_TRUE(IsChecked(main, kEdRare));
        exitAndAnswer(program, main, L"磁盘已满，设置没有保存。原来的 user.ini 没有改动。");
        EXPECT_EQ(ReadFileBytes(fullDiskFolder + L"\\user.ini"), olderBytes);
    }
}

TEST_F(EndToEnd, MissingHelpIsSaid) {
    Program program(folder.Path());
    HWND main = program.WaitForMain();
    ASSERT_TRUE(main);
    Press(main, kHelpButton);
    HWND box = program.WaitForMessageBox(L"tarvisk");
    ASSERT_TRUE(box);
    EXPECT_EQ(RemoteText(GetDlgItem(box, 0xFFFF)),
              L"找不到帮助文件 tarvisk.chm。它应当和 86.dll 等词典文件放在同一个文件夹里。");
    Press(box, IDOK);
    Press(main, kExitButton);
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(EndToEnd, TheTrayMenuOpensTheMiniWindowWhichClosesEachWayAndExitSavesNothing) {
    Program program(folder.Path());
    HWND main = program.WaitForMain();
    ASSERT_TRUE(main);

    // A menu closed with Escape does nothing, and the next click on the icon opens it again.
    ClickTrayIcon(main, WM_RBUTTONUP);
    HWND menu = program.WaitForMenu();
    ASSERT_TRUE(menu);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
    EXPECT_TRUE(IsWindowVisible(main));

    // Each way out of the mini window: the key or menu letter, and whether the main window comes back.
    const struct {
        const char* name;
        WORD menuLetter;  // 0: Escape
        bool mainBack;
    } ways[] = {{"Escape", 0, true}, {"return", 'R', true}, {"hide", 'H', false}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ClickTrayIcon(main, WM_RBUTTONUP);
        ASSERT_TRUE(program.WaitForMenu());
        PressKey('M');
        HWND mini = program.WaitForMini();
        ASSERT_TRUE(mini);
        EXPECT_FALSE(IsWindowVisible(main));
        Type(mini, L"式");
        EXPECT_EQ(RemoteText(GetDlgItem(mini, kCode)), L"式aa");
        Type(mini, L"龘");
        EXPECT_EQ(RemoteText(GetDlgItem(mini, kCode)), L"");
        if (way.menuLetter) {
            PostMessageW(mini, WM_RBUTTONDOWN, 0, MAKELPARAM(4, 4));
            ASSERT_TRUE(program.WaitForMenu());
            PressKey(way.menuLetter);
        } else {
            PressKey(VK_ESCAPE);
        }
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(mini); }));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) == way.mainBack; }));
    }
    // Hidden: the icon's double-click brings the window back.
    ClickTrayIcon(main, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

    Click(main, kEd98);
    ClickTrayIcon(main, WM_RBUTTONUP);
    ASSERT_TRUE(program.WaitForMenu());
    PressKey('X');
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_FALSE(FileExists(folder.File(L"user.ini"))) << "exit from the menu saves nothing";
}

TEST_F(EndToEnd, TheShippedDictionariesAnswer) {
    if (dataFolder.empty()) GTEST_SKIP() << "--data=PATH not given";
    for (const wchar_t* name : {L"86.dll", L"98.dll", L"fm.dll", L"py.dll"})
        ASSERT_TRUE(CopyFileW((dataFolder + L"\\" + name).c_str(), folder.File(name).c_str(), FALSE));
    Program program(folder.Path());
    HWND main = program.WaitForMain();
    ASSERT_TRUE(main);
    Click(main, 1024);  // pinyin on
    Type(main, L"工");
    const std::wstring code = RemoteText(GetDlgItem(main, kCode));
    ASSERT_GE(code.size(), 2u);
    EXPECT_EQ(code[0], L'工');
    EXPECT_EQ(code.substr(1).find_first_not_of(L"abcdefghijklmnopqrstuvwxy"), std::wstring::npos) << Gbk(code);
    const std::wstring reading = RemoteText(GetDlgItem(main, 1007));
    EXPECT_EQ(reading.substr(0, 1), L"工");
    Press(main, kExitButton);
    EXPECT_TRUE(program.WaitForExit());
}

// The release as a user meets it: unpacked, started from its own folder (so that folder is the working directory),
// with nothing beside it but what the zip holds.
TEST(Release, TheUnpackedProgramLooksUpFromItsFolderAndKeepsItsSettingsThere) {
    if (releaseFolder.empty()) GTEST_SKIP() << "--release=FOLDER not given";
    const std::wstring settings = releaseFolder + L"\\user.ini";
    ASSERT_FALSE(FileExists(settings));
    Program program(releaseFolder);
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForMain();
    ASSERT_TRUE(main);
    Type(main, L"型");
    const std::string dictionary = Gbk(releaseFolder + L"\\86.dll");
    const core::LookupResult expected = core::LookupInFile(dictionary, core::KeyFromInput(Gbk(L"型")));
    ASSERT_EQ(expected.status, core::LookupStatus::Found);
    EXPECT_EQ(Gbk(RemoteText(GetDlgItem(main, kCode))), expected.token);
    Press(main, kExitButton);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(ReadFileBytes(settings).size(), 25u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--tarvisk=", 0) == 0) programPath = WindowsPath(argument.substr(10));
        if (argument.rfind("--data=", 0) == 0) dataFolder = WindowsPath(argument.substr(7));
        if (argument.rfind("--release=", 0) == 0) {
            releaseFolder = WindowsPath(argument.substr(10));
            programPath = releaseFolder + L"\\tarvisk.exe";
        }
        if (argument.rfind("--full-disk=", 0) == 0) fullDiskFolder = WindowsPath(argument.substr(12));
    }
    return RUN_ALL_TESTS();
}
