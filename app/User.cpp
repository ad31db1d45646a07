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

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && !IsFolder(path);
}

// Why reading or writing `name` (at `path`) failed with `error`: the start of a sentence for the user.
std::string FileFailure(const std::wstring& path, const std::string& name, DWORD error, bool writing) {
    if (IsFolder(path)) return name + " 是一个文件夹";
    if (writing && IsFile(path) && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY))
        return name + " 是只读文件";
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "磁盘已满";
    case ERROR_WRITE_PROTECT: return "磁盘有写保护";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return name + " 正被其他程序使用";
    case ERROR_ACCESS_DENIED: return writing ? "没有在这个文件夹中写文件的权限" : "没有读取 " + name + " 的权限";
    default:
        return (writing ? "写入 " : "读取 ") + name + " 时出错（Windows 错误 " + std::to_string(error) + "）";
    }
}

}  // namespace

core::UserRecord CUser::Record() const { return {hotkeyMode, edition, hotkeyKey, hotkeyModifiers}; }

void CUser::Take(const core::UserRecord& record) {
    hotkeyMode = record.hotkeyMode;
    edition = record.edition;
    hotkeyKey = record.hotkeyKey;
    hotkeyModifiers = record.hotkeyModifiers;
}

bool CUser::StoreToFile(const std::string& fileName, std::string* whyNot) const {
    const std::wstring target = fw::Widen(fileName);
    const std::wstring temporary = target + L".tmp";
    const auto bytes = core::EncodeArchive(Record());
    // The temporary file is gone by now; `path` failed with `error`.
    auto fail = [&](const std::wstring& path, const std::string& name, DWORD error) {
        if (whyNot) {
            *whyNot = FileFailure(path, name, error, true) + "，设置没有保存。";
            if (IsFile(target)) *whyNot += "原来的 " + fileName + " 没有改动。";
        }
        return false;
    };

    // Windows refuses to replace a read-only file; Wine's replacement is a rename, which would not. Refused here, so a
    // file the user protected stays as it is on both.
    if (IsFile(target) && (GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY))
        return fail(target, fileName, ERROR_ACCESS_DENIED);
    fw::UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return fail(temporary, fileName + ".tmp", GetLastError());
    if (!WriteAll(file.get(), bytes.data(), static_cast<DWORD>(bytes.size())) || !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temporary.c_str());
        return fail(temporary, fileName + ".tmp", error);
    }
    file.reset();
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return fail(target, fileName, error);
    }
    return true;
}

bool CUser::LoadFromFile(const std::string& fileName, core::ArchiveStatus* status, std::string* problem) {
    const std::wstring path = fw::Widen(fileName);
    fw::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    std::array<std::uint8_t, kReadLimit> buffer{};
    DWORD size = 0;
    if (!file || !ReadFile(file.get(), buffer.data(), kReadLimit, &size, nullptr)) {
        const DWORD error = GetLastError();
        if (problem && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            *problem = FileFailure(path, fileName, error, false) + "，读不出设置，现在用的是默认设置。";
        return false;
    }
    core::UserRecord record = Record();
    const core::ArchiveStatus result = core::DecodeArchive(std::span(buffer.data(), size), record);
    if (status) *status = result;
    if (problem && result != core::ArchiveStatus::Ok)
        *problem = fileName + " 已损坏，读不出的设置用了默认值；下次保存时会写入完整的设置。";
    Take(record);
    return true;
}
