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
    // then as it was.
    bool StoreToFile(const std::string& fileName) const;

    // Reads `fileName` (if there is one) and overwrites each field that the archive holds whole; a damaged archive
    // leaves the rest as they were. False when the file could not be opened or read at all.
    bool LoadFromFile(const std::string& fileName, core::ArchiveStatus* status = nullptr);

private:
    core::UserRecord Record() const;
    void Take(const core::UserRecord& record);
};
