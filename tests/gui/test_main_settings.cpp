// "user.ini" as the main window reads it at start and writes it on the way out: the exits that save and the one
// that asks, damaged files, and a file that cannot be written.
#include <array>

#include "core/SettingsArchive.h"
#include "tests/support/MainWindowFixture.h"

namespace {

using namespace testing_support;

std::string Archive(const core::UserRecord& record) {
    const auto bytes = core::EncodeArchive(record);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> Bytes(const core::UserRecord& record) {
    const auto bytes = core::EncodeArchive(record);
    return {bytes.begin(), bytes.end()};
}

TEST_F(MainWindowTest, FirstRunExitButtonWritesThe25ByteArchive) {
    Open();
    Click(IDC_ED98);
    Command(IDC_EXITBTN);
    EXPECT_EQ(platform.CountOf("MessageBox"), 0);
    const auto bytes = SettingsBytes();
    ASSERT_EQ(bytes.size(), 25u);
    const std::vector<std::uint8_t> head = {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00, 'C', 'U', 's', 'e', 'r'};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(bytes, Bytes({0, 1, 0, 0}));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(FileExists(folder.File(L"user.ini.tmp")));
}

TEST_F(MainWindowTest, EscapeAsksAndOnlyYesSavesAndEnds) {
    Open();
    Type(L"工");
    Click(IDC_EDRARE);
    platform.messageBoxAnswers = {IDNO};
    Command(IDCANCEL);
    ASSERT_EQ(platform.CountOf("MessageBox"), 1);
    const auto question = platform.CallsNamed("MessageBox")[0];
    EXPECT_EQ(question.text, (std::vector<std::string>{Gbk(L"真的退出Tarvisk？"),
                                                        Gbk(L"退出系统")}));
    EXPECT_EQ(question.numbers[0], 0x124);
    EXPECT_EQ(question.window, hwnd);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Input(), L"工");
    EXPECT_EQ(CodeLine(), L"无");
    EXPECT_TRUE(Checked(IDC_EDRARE));
    EXPECT_FALSE(FileExists(folder.File(L"user.ini")));

    platform.messageBoxAnswers = {IDYES};
    Command(IDCANCEL);
    EXPECT_EQ(platform.CountOf("MessageBox"), 2);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(SettingsBytes(), Bytes({0, 2, 0, 0}));
}

TEST_F(MainWindowTest, StartsWithTheSavedEditionAndHotkey) {
    WriteFileBytes(folder.File(L"user.ini"), Archive({1, 1, 'Q', 0x03}));
    Open();
    EXPECT_TRUE(Checked(IDC_ED98));
    EXPECT_FALSE(Checked(IDC_ED86));
    EXPECT_EQ(window->hotkeyMode, 1);
    EXPECT_EQ(window->hotkeyKey, 'Q');
    EXPECT_EQ(window->hotkeyModifiers, 0x03);
    EXPECT_EQ(CodeLine(), L"");
}

TEST_F(MainWindowTest, AnEditionOutsideTheRangeChecksNoRadioButton) {
    WriteFileBytes(folder.File(L"user.ini"), Archive({0, 5, 0, 0}));
    Open();
    EXPECT_FALSE(Checked(IDC_ED86));
    EXPECT_FALSE(Checked(IDC_ED98));
    EXPECT_FALSE(Checked(IDC_EDRARE));
    Type(L"龘");
    EXPECT_EQ(CodeLine(), L"龘dddd");
}

TEST_F(MainWindowTest, DamagedFilesAreSaidStartWithDefaultsAndTheNextSaveIsCorrect) {
    const std::string good = Archive({1, 2, 'K', 0x06});
    std::string wrongName = good;
    wrongName[12] = 'x';
    std::string wrongSchema = good;
    wrongSchema[4] = 2;
    std::string wrongTag = good;
    wrongTag[2] = 0x01;
    std::string noElements = good;
    noElements[0] = 0;
    struct Row {
        const char* name;
        std::string bytes;
        const wchar_t* alsoTold = L"";  // a second paragraph of the same message
    } rows[] = {
        {"empty", ""},
        {"framing only", good.substr(0, 13)},
        {"cut inside the mode", good.substr(0, 15)},
        {"cut after mode and edition", good.substr(0, 21)},
        // Ctrl+Alt+K without its modifiers would take the letter k from every program: the default serves instead.
        {"cut inside the modifiers", good.substr(0, 24),
         L"\r\n\r\n热键 K 不含 Ctrl 或 Alt，会让所有程序都收不到这个键，已改用默认热键 Win+Z。"},
        {"wrong class name", wrongName},
        {"wrong schema", wrongSchema},
        {"wrong tag", wrongTag},
        {"no elements", noElements},
        {"not an archive at all", std::string(300, '\x5A')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), row.bytes));
        platform.Clear();
        Open();
        // Said once, over the window, as soon as it shows.
        ASSERT_TRUE(PumpUntil([&] { return platform.CountOf("MessageBox") == 1; }, 2000));
        EXPECT_EQ(platform.CallsNamed("MessageBox")[0].text,
                  (std::vector<std::string>{
                      Gbk(L"user.ini 已损坏，读不出的设置用了默认值；下次保存时会写入完整的设置。" +
                          std::wstring(row.alsoTold)),
                      "Tarvisk"}));
        // Whatever was read whole is kept; nothing else moves away from the defaults.
        core::UserRecord expected;
        core::DecodeArchive(std::span(reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size()),
                            expected);
        if (*row.alsoTold) expected.hotkeyMode = 0;
        EXPECT_EQ(window->hotkeyMode, expected.hotkeyMode);
        EXPECT_EQ(window->savedEdition, expected.edition);
        EXPECT_EQ(window->hotkeyKey, expected.hotkeyKey);
        EXPECT_EQ(window->hotkeyModifiers, expected.hotkeyModifiers);
        Command(IDC_EXITBTN);
        EXPECT_EQ(SettingsBytes(), Bytes({expected.hotkeyMode, expected.edition, expected.hotkeyKey,
                                          expected.hotkeyModifiers}));
        Close();
    }
}

// Each way the settings cannot be written is named, after the program's own first line; the old file stays as it was.
TEST_F(MainWindowTest, AnUnwritableFileIsExplainedAndTheOldOneKept) {
    const std::string old = Archive({0, 2, 0, 0});
    const std::wstring kept = L"原来的 user.ini 没有改动。";
    struct Row {
        const char* name;
        const wchar_t* folderAt;  // made a folder so that a step fails
        bool readOnly;
        std::wstring reason;
    } rows[] = {
        {"temporary file cannot be created", L"user.ini.tmp", false,
         L"user.ini.tmp 是一个文件夹，设置没有保存。" + kept},
        {"user.ini is a folder", L"user.ini", false, L"user.ini 是一个文件夹，设置没有保存。"},
        {"user.ini is read-only", nullptr, true, L"user.ini 是只读文件，设置没有保存。" + kept},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        const bool folderInstead = row.folderAt && std::wstring(row.folderAt) == L"user.ini";
        if (!folderInstead) {
            ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), old));
        }
        if (row.folderAt) {
            ASSERT_TRUE(CreateDirectoryW(folder.File(row.folderAt).c_str(), nullptr));
        }
        if (row.readOnly) SetFileAttributesW(folder.File(L"user.ini").c_str(), FILE_ATTRIBUTE_READONLY);
        Open();
        // A folder where the settings should be is already said at start.
        PumpUntil([&] { return platform.CountOf("MessageBox") == (folderInstead ? 1 : 0); }, 2000);
        Click(IDC_ED98);
        Command(IDC_EXITBTN);
        const auto boxes = platform.CallsNamed("MessageBox");
        ASSERT_EQ(boxes.size(), folderInstead ? 2u : 1u);
        if (folderInstead) {
            EXPECT_EQ(boxes[0].text[0], Gbk(L"user.ini 是一个文件夹，读不出设置，现在用的是默认设置。"));
        }
        EXPECT_EQ(boxes.back().text, (std::vector<std::string>{Gbk(L"无法进行设置！\r\n\r\n" + row.reason), "RUR"}));
        EXPECT_EQ(boxes.back().numbers[0], MB_ICONHAND);
        EXPECT_EQ(boxes.back().window, hwnd);
        EXPECT_FALSE(IsWindowVisible(hwnd));  // the exit goes on
        EXPECT_FALSE(FileExists(folder.File(L"user.ini.tmp")) && !row.folderAt);
        if (!folderInstead) {
            EXPECT_EQ(SettingsBytes(), std::vector<std::uint8_t>(old.begin(), old.end()));
        }
        SetFileAttributesW(folder.File(L"user.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
        if (row.folderAt) RemovePath(folder.File(row.folderAt));
        RemovePath(folder.File(L"user.ini"));
        Close();
    }
}

}  // namespace
