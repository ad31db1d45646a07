// The lookup of a typed character, shared by the main window and the mini window: what the first character of an
// input box is, whether the box refuses it, and the line a table's answer makes. Each window decides for itself what
// a character the table does not list shows (the main window "无", the mini window nothing) and which tables it asks.
#pragma once

#include <windows.h>

#include <string>

#include "core/DictionaryScan.h"

// The first character of an input box, read when the object is made.
class TypedCharacter {
public:
    explicit TypedCharacter(HWND inputBox);

    // An ASCII letter or digit comes first: the box takes Chinese characters only.
    bool Refused() const { return core::IsRejectedInput(key_.first); }
    // Empties the box. The change runs the window's lookup once more, on the empty box.
    void EmptyBox() const;
    // The first character has a GBK form (an empty box counts as one: it looks up nothing).
    bool IsGbk() const { return isGbk_; }

    // What a result line shows for this character in table `file`: the table's token; what is wrong with the table when
    // it cannot answer (DictionaryProblemText); "不是GBK汉字" for a character without a GBK form (no table lists its
    // '?'); and `notListed` when the table does not list it. The file is opened afresh on every call.
    std::string ResultLine(const std::string& file, const std::string& notListed) const;

private:
    HWND inputBox_;
    core::LookupKey key_;
    bool isGbk_ = true;
};

// What a result line shows when `file` cannot answer a lookup (missing, unreadable, empty, not GBK text), in GBK;
// empty for a file that answered, with a match or without.
std::string DictionaryProblemText(core::LookupStatus status, const std::string& file);

// Selects the whole text of an input box and scrolls the caret into view, so the next character typed replaces it.
void SelectWholeInput(HWND inputBox);
