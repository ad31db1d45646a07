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

TEST_F(MainWindowTest, DamagedFilesStartWithDefaultsAndTheNextSaveIsCorrect) {
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
    } rows[] = {
        {"empty", ""},
        {"framing only", good.substr(0, 13)},
        {"cut inside the mode", good.substr(0, 15)},
        {"cut after mode and edition", good.substr(0, 21)},
        {"cut inside the modifiers", good.substr(0, 24)},
        {"wrong class name", wrongName},
        {"wrong schema", wrongSchema},
        {"wrong tag", wrongTag},
        {"no elements", noElements},
        {"not an archive at all", std::string(300, '\x5A')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), row.bytes));
        Open();
        // Whatever was read whole is kept; nothing else moves away from the defaults.
        core::UserRecord expected;
        core::DecodeArchive(std::span(reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size()),
                            expected);
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

TEST_F(MainWindowTest, AnUnwritableFileIsReportedAndTheOldOneKept) {
    const std::string old = Archive({0, 2, 0, 0});
    struct Row {
        const char* name;
        const wchar_t* blockedPath;  // made a folder so that step fails
    } rows[] = {
        {"temporary file cannot be created", L"user.ini.tmp"},
        {"file cannot be replaced", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        platform.Clear();
        RemovePath(folder.File(L"user.ini"));
        if (row.blockedPath) {
            ASSERT_TRUE(WriteFileBytes(folder.File(L"user.ini"), old));
            ASSERT_TRUE(CreateDirectoryW(folder.File(row.blockedPath).c_str(), nullptr));
        } else {
            ASSERT_TRUE(CreateDirectoryW(folder.File(L"user.ini").c_str(), nullptr));
        }
        Open();
        Click(IDC_ED98);
        Command(IDC_EXITBTN);
        const auto boxes = platform.CallsNamed("MessageBox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, (std::vector<std::string>{Gbk(L"无法进行设置！"), "RUR"}));
        EXPECT_EQ(boxes[0].numbers[0], MB_ICONHAND);
        EXPECT_EQ(boxes[0].window, hwnd);
        EXPECT_FALSE(IsWindowVisible(hwnd));  // the exit goes on
        if (row.blockedPath) {
            EXPECT_EQ(SettingsBytes(), std::vector<std::uint8_t>(old.begin(), old.end()));
            RemovePath(folder.File(row.blockedPath));
        } else {
            EXPECT_FALSE(FileExists(folder.File(L"user.ini.tmp")));
            RemovePath(folder.File(L"user.ini"));
        }
        Close();
    }
}

}  // namespace
