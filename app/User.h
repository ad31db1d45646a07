// The settings record kept in "user.ini": the hotkey choice and the selected code edition, stored as an object
// archive holding one CUser (the byte layout lives in core/SettingsArchive.h).
#pragma once

#include <cstdint>
#include <string>

#include "core/SettingsArchive.h"

class CUser {
public:
    std::int32_t hotkeyMode = 0;
    std::int32_t edition = 0;
    std::uint16_t hotkeyKey = 0;
    std::uint16_t hotkeyModifiers = 0;

    // Writes the 25-byte archive to `fileName` without ever leaving a short or empty file behind: the bytes go to
    // "<fileName>.tmp" first, which then replaces the file in one step. False when any step failed; the old file is
    // then as it was, and `whyNot` (if given) says in a sentence for the user (GBK) what stood in the way.
    bool StoreToFile(const std::string& fileName, std::string* whyNot = nullptr) const;

    // Reads `fileName` (if there is one) and overwrites each field that the archive holds whole; a damaged archive
    // leaves the rest as they were. False when the file could not be opened or read at all. `problem` (if given) is
    // left empty for a file read whole and for no file at all; otherwise it says what was wrong, for the user (GBK).
    bool LoadFromFile(const std::string& fileName, core::ArchiveStatus* status = nullptr,
                      std::string* problem = nullptr);

private:
    core::UserRecord Record() const;
    void Take(const core::UserRecord& record);
};
