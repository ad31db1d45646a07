#include "app/User.h"

#include <windows.h>

#include <array>
#include <cstdint>

#include "framework/Handles.h"
#include "framework/Text.h"

namespace {

// A correct file is 25 bytes; a few hundred are enough to see the general archive forms the reader accepts, and a
// stray large file is never read whole.
constexpr DWORD kReadLimit = 512;

bool WriteAll(HANDLE file, const std::uint8_t* bytes, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

}  // namespace

core::UserRecord CUser::Record() const { return {hotkeyMode, edition, hotkeyKey, hotkeyModifiers}; }

void CUser::Take(const core::UserRecord& record) {
    hotkeyMode = record.hotkeyMode;
    edition = record.edition;
    hotkeyKey = record.hotkeyKey;
    hotkeyModifiers = record.hotkeyModifiers;
}

bool CUser::StoreToFile(const std::string& fileName) const {
    const std::wstring target = fw::Widen(fileName);
    const std::wstring temporary = target + L".tmp";
    const auto bytes = core::EncodeArchive(Record());

    bool written = false;
    {
        fw::UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        written = WriteAll(file.get(), bytes.data(), static_cast<DWORD>(bytes.size())) &&
                  FlushFileBuffers(file.get());
    }
    if (written && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

bool CUser::LoadFromFile(const std::string& fileName, core::ArchiveStatus* status) {
    fw::UniqueFile file(CreateFileW(fw::Widen(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::array<std::uint8_t, kReadLimit> buffer{};
    DWORD size = 0;
    if (!ReadFile(file.get(), buffer.data(), kReadLimit, &size, nullptr)) return false;
    core::UserRecord record = Record();
    const core::ArchiveStatus result = core::DecodeArchive(std::span(buffer.data(), size), record);
    if (status) *status = result;
    Take(record);
    return true;
}
