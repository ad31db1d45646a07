// The main window's lookup as a user drives it: typing, the edition radio buttons, the pinyin check box, Enter, the
// rule against letters and digits, and what the result lines show when a table is missing or a character has no
// GBK form; and what the two result lines show on the screen when a token is wider than its line.
#include "tests/support/MainWindowFixture.h"

#include <commctrl.h>

#include <set>

#include "framework/Text.h"
#include "tests/support/PixelCanvas.h"
#include "tests/support/ScreenKit.h"

namespace {

using namespace testing_support;

struct LookupRow {
    const char* name;
    int editionButton;
    bool pinyin;
    std::wstring input;
    std::wstring code;
    std::wstring pinyinLine;
};

TEST_F(MainWindowTest, ShowsTheFirstCharactersTokenFromTheSelectedTable) {
    const LookupRow rows[] = {
        {"found in 86", IDC_ED86, false, L"工", L"工aaaa", L""},
        {"missing from 98", IDC_ED98, false, L"式", L"无", L""},
        {"rare table", IDC_EDRARE, false, L"龘", L"龘dddd", L""},
        {"last token without line break", IDC_ED86, false, L"强", L"强xkj", L""},
        {"first of two entries wins", IDC_ED86, false, L"的", L"的r", L""},
        {"only the first character counts", IDC_ED86, false, L"工式", L"工aaaa", L""},
        {"token ends at a blank", IDC_ED86, true, L"的", L"的r", L"的de"},
        {"pinyin with code", IDC_ED98, true, L"工", L"工aaaa", L"工gong"},
        {"ASCII punctuation is looked up", IDC_ED86, false, L",", L"无", L""},
        {"empty box", IDC_ED86, false, L"", L"无", L""},
        {"no GBK form", IDC_ED86, false, L"가", L"不是GBK汉字", L""},
        {"no GBK form, outside the BMP", IDC_ED86, false, L"\U0001F600", L"不是GBK汉字", L""},
    };
    for (const LookupRow& row : rows) {
        SCOPED_TRACE(row.name);
        Open();
        Click(row.editionButton);
        if (row.pinyin) Click(IDC_SHOWPINYIN);
        Type(row.input);
        EXPECT_EQ(CodeLine(), row.code);
        EXPECT_EQ(PinyinLine(), row.pinyinLine);
        Close();
    }
}

TEST_F(MainWindowTest, OpensWithEmptyResultLinesAndThe86EditionChecked) {
    Open();
    EXPECT_EQ(CodeLine(), L"");
    EXPECT_EQ(PinyinLine(), L"");
    EXPECT_TRUE(Checked(IDC_ED86));
    EXPECT_FALSE(Checked(IDC_SHOWPINYIN));
    EXPECT_EQ(GetFocus(), Item(IDC_INPUT));
}

TEST_F(MainWindowTest, LettersAndDigitsEmptyTheBoxAndTheEmptyBoxShowsNone) {
    for (const wchar_t* refused : {L"a", L"Z", L"7"}) {
        SCOPED_TRACE(Gbk(refused));
        Open();
        Click(IDC_SHOWPINYIN);
        Type(L"工");
        ASSERT_EQ(PinyinLine(), L"工gong");
        Type(refused);
        EXPECT_EQ(Input(), L"");
        EXPECT_EQ(CodeLine(), L"无");
        EXPECT_EQ(PinyinLine(), L"工gong");  // the lookup of the emptied box keeps the reading
        Click(IDC_SHOWPINYIN);
        Type(L"b");
        EXPECT_EQ(PinyinLine(), L"");
        Close();
    }
}

TEST_F(MainWindowTest, RadioAndCheckBoxClicksLookUpAgainAtOnce) {
    Open();
    Type(L"式");
    EXPECT_EQ(CodeLine(), L"式aa");
    Click(IDC_ED98);
    EXPECT_EQ(CodeLine(), L"无");
    Click(IDC_ED86);
    EXPECT_EQ(CodeLine(), L"式aa");

    Click(IDC_SHOWPINYIN);
    EXPECT_EQ(PinyinLine(), L"式shi");
    Type(L"强");  // not in the pinyin table: the previous reading stays
    EXPECT_EQ(CodeLine(), L"强xkj");
    EXPECT_EQ(PinyinLine(), L"式shi");
    Click(IDC_SHOWPINYIN);
    EXPECT_EQ(PinyinLine(), L"");
}

TEST_F(MainWindowTest, EnterLooksUpAgainAndSelectsTheWholeInput) {
    Open();
    Type(L"工式");
    SetDlgItemTextW(hwnd, IDC_CODE, L"");
    SendMessageW(Item(IDC_INPUT), EM_SETSEL, 1, 1);
    Command(IDC_ENTER);
    EXPECT_EQ(CodeLine(), L"工aaaa");
    DWORD start = 99, end = 99;
    SendMessageW(Item(IDC_INPUT), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
}

TEST_F(MainWindowTest, AMissingTableIsNamedAndTheNextLookupTriesAgain) {
    Open();
    RemovePath(folder.File(L"98.dll"));
    RemovePath(folder.File(L"py.dll"));
    Click(IDC_SHOWPINYIN);
    Click(IDC_ED98);
    Type(L"工");
    EXPECT_EQ(CodeLine(), L"找不到 98.dll");
    EXPECT_EQ(PinyinLine(), L"找不到 py.dll");

    // Put back (with other content): read afresh, no cache.
    WriteTable(L"98.dll", L"工aaab\n");
    WriteTable(L"py.dll", L"工gōng\n");
    Type(L"工");
    EXPECT_EQ(CodeLine(), L"工aaab");
    EXPECT_EQ(PinyinLine(), L"工gōng");
}

TEST_F(MainWindowTest, NoRadioCheckedUsesTheRareTable) {
    Open();
    for (int id : {IDC_ED86, IDC_ED98, IDC_EDRARE}) SendMessageW(Item(id), BM_SETCHECK, BST_UNCHECKED, 0);
    Type(L"龘");
    EXPECT_EQ(window->edition, -1);
    EXPECT_EQ(CodeLine(), L"龘dddd");
}

TEST_F(MainWindowTest, PaintsInTheProgramsColours) {
    Open();
    UpdateWindow(hwnd);
    // The dialog's background brush and its texts.
    HDC dc = GetDC(hwnd);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(hwnd)));
    LOGBRUSH logBrush{};
    ASSERT_TRUE(GetObjectW(brush, sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(49, 106, 197));
    SetTextColor(dc, RGB(0, 0, 0));
    SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(IDC_CODE)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    SendMessageW(hwnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(IDC_ED98)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    // The input box keeps the system's colours.
    const auto editBrush = SendMessageW(hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(Item(IDC_INPUT)));
    EXPECT_NE(editBrush, reinterpret_cast<LRESULT>(brush));
    ReleaseDC(hwnd, dc);

    // And on screen: a free point of the surface, and inside the input box.
    dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(49, 106, 197));
    RECT input{};
    GetWindowRect(Item(IDC_INPUT), &input);
    POINT inside{input.left + 5, input.top + 5};
    ScreenToClient(hwnd, &inside);
    EXPECT_EQ(GetPixel(dc, inside.x, inside.y), GetSysColor(COLOR_WINDOW));
    ReleaseDC(hwnd, dc);
}

// Text ink: the white text on the blue surface (smoothed edges included).
bool IsInk(COLORREF colour) { return GetRValue(colour) > 140; }

// The pixels `text` makes when drawn as a result line draws it: in `line`'s font, white on the surface, from the
// top-left corner.
std::vector<COLORREF> Drawn(HWND line, const std::wstring& text, SIZE size) {
    PixelCanvas canvas(size.cx, size.cy, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
    canvas.Fill(RGB(49, 106, 197));
    SetTextColor(canvas.dc(), RGB(255, 255, 255));
    SetBkMode(canvas.dc(), TRANSPARENT);
    TextOutW(canvas.dc(), 0, 0, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
}

int WidthOf(HWND line, const std::wstring& text) {
    fw::ClientDc dc(line);
    fw::ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(line, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

TEST_F(MainWindowTest, ATokenWiderThanItsLineIsCutVisiblyAfterTheReadingsThatFit) {
    WriteTable(L"py.dll", L"行x\u00EDng,h\u00E1ng,h\u00E0ng,h\u00E9ng\n");
    WriteTable(L"86.dll", (L"工" + std::wstring(60, L'a') + L"\n").c_str());  // a damaged table's token
    SetCursorPos(0, 0);
    Open();
    SetWindowPos(hwnd, HWND_TOP, 200, 100, 0, 0, SWP_NOSIZE);
    Click(IDC_SHOWPINYIN);
    const std::wstring reading = L"行x\u00EDng,h\u00E1ng,h\u00E0ng,h\u00E9ng";
    Type(L"行");
    EXPECT_EQ(PinyinLine(), reading) << "the line keeps the whole token as its text";
    UpdateWindow(hwnd);

    HWND line = Item(IDC_PINYIN);
    const RECT area = ScreenRectOf(line);
    const int width = area.right - area.left, height = area.bottom - area.top;
    ASSERT_GT(WidthOf(line, reading), width) << "the test needs a reading wider than its line";
    // The readings that fit whole, in order, then "…": the longest such cut.
    std::wstring expected;
    for (const wchar_t* cut :
         {L"行x\u00EDng\u2026", L"行x\u00EDng,h\u00E1ng\u2026", L"行x\u00EDng,h\u00E1ng,h\u00E0ng\u2026"})
        if (WidthOf(line, cut) <= width) expected = cut;
    ASSERT_FALSE(expected.empty());
    const std::vector<COLORREF> want = Drawn(line, expected, {width, height});
    const int character = WidthOf(line, L"行");
    int inkRightOfCharacter = 0, differing = 0;
    PumpUntil([&] {  // read once the window has reached the screen
        const ScreenPixels shown(area);
        inkRightOfCharacter = differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                inkRightOfCharacter += x > character && IsInk(shown.At(x, y)) ? 1 : 0;
                differing += Near(shown.At(x, y), want[y * width + x], 24) ? 0 : 1;
            }
        return differing == 0;
    }, 2000);
    EXPECT_GT(inkRightOfCharacter, 20) << "the line shows readings after the character";
    EXPECT_EQ(differing, 0) << "the line shows " << Gbk(expected);

    // The whole reading rests under the pointer.
    MoveTo(CentreOf(area));
    std::wstring tip;
    PumpUntil([&] {
        for (HWND w = FindWindowW(TOOLTIPS_CLASSW, nullptr); w; w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr))
            if (IsWindowVisible(w)) tip = TextOf(w);
        return !tip.empty();
    });
    EXPECT_EQ(tip, reading);
    MoveTo({0, 0});

    // A code that fits no whole piece is cut by characters: never just the character.
    Click(IDC_ED86);
    Type(L"工");
    const RECT codeArea = ScreenRectOf(Item(IDC_CODE));
    const LONG lastFifth = (codeArea.right - codeArea.left) * 4 / 5;
    LONG inkEnd = 0;
    PumpUntil([&] { return (inkEnd = ScreenPixels(codeArea).BoxOf(IsInk).right) > lastFifth; }, 2000);
    EXPECT_GT(inkEnd, lastFifth) << "ink to the end of the line, not only the character";
}

TEST_F(MainWindowTest, TheResultLinesAndTheirTooltipsDrawEveryCharacterOfThePinyinTable) {
    // Every reading's letters (the tone letters included) and every character the table lists.
    const std::vector<std::uint8_t> bytes = ReadFileBytes(L"" TARVISK_DATA_DIR "/py.dll");
    ASSERT_FALSE(bytes.empty());
    const std::wstring table = fw::Widen(std::string(bytes.begin(), bytes.end()));
    const std::set<wchar_t> characters(table.begin(), table.end());
    Open();
    HWND tip = FindWindowW(TOOLTIPS_CLASSW, nullptr);
    ASSERT_NE(tip, nullptr);
    std::wstring drawn;  // drawn a row at a time, each character in a cell of its own
    for (wchar_t character : characters)
        if (character >= 0x80) drawn += character;
    constexpr int kCell = 32, kRow = 64;
    for (HWND drawer : {Item(IDC_PINYIN), tip}) {
        PixelCanvas canvas(kCell * kRow, kCell, reinterpret_cast<HFONT>(SendMessageW(drawer, WM_GETFONT, 0, 0)));
        SetTextColor(canvas.dc(), RGB(255, 255, 255));
        SetBkMode(canvas.dc(), TRANSPARENT);
        const std::vector<INT> advances(kRow, kCell);
        std::wstring blank;
        for (std::size_t start = 0; start < drawn.size(); start += kRow) {
            const std::wstring row = drawn.substr(start, kRow);
            canvas.Fill(RGB(0, 0, 0));
            ExtTextOutW(canvas.dc(), 4, 4, 0, nullptr, row.c_str(), static_cast<UINT>(row.size()), advances.data());
            GdiFlush();
            for (std::size_t k = 0; k < row.size(); ++k) {
                bool ink = false;
                for (int y = 0; y < kCell && !ink; ++y)
                    for (int x = 0; x < kCell && !ink; ++x)
                        ink = canvas.At(static_cast<int>(k) * kCell + x, y) != RGB(0, 0, 0);
                if (!ink) blank += row[k];
            }
        }
        EXPECT_EQ(blank, L"") << "of " << drawn.size() << " characters, these draw nothing in "
                              << (drawer == tip ? "a tooltip" : "the pinyin line");
    }
}

}  // namespace
