// The settings file's object-archive codec: element count, new-class tag, schema and class name, then CUser's fields.
#include "core/SettingsArchive.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <type_traits>

namespace core {
namespace {

constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kWideCount = 0xFFFF;
constexpr std::uint32_t kWiderCount = 0xFFFFFFFF;
constexpr std::uint16_t kUserSchema = 1;
constexpr std::string_view kUserClassName = "CUser";

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Little-endian, all or nothing: a value cut short by the end of the file is not read at all.
    template <typename T>
    std::optional<T> Read() {
        if (bytes_.size() - pos_ < sizeof(T)) return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) value |= std::uint64_t{bytes_[pos_ + i]} << (8 * i);
        pos_ += sizeof(T);
        return static_cast<T>(value);
    }

    std::optional<std::span<const std::uint8_t>> ReadBytes(std::size_t count) {
        if (bytes_.size() - pos_ < count) return std::nullopt;
        auto run = bytes_.subspan(pos_, count);
        pos_ += count;
        return run;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

template <typename T>
void Put(std::uint8_t*& out, T value) {
    using Unsigned = std::make_unsigned_t<T>;
    auto bits = static_cast<Unsigned>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) *out++ = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace

std::array<std::uint8_t, kArchiveSize> EncodeArchive(const UserRecord& record) {
    std::array<std::uint8_t, kArchiveSize> bytes{};
    std::uint8_t* out = bytes.data();
    Put<std::uint16_t>(out, 1);  // one element in the array
    Put(out, kNewClassTag);
    Put(out, kUserSchema);
    Put(out, static_cast<std::uint16_t>(kUserClassName.size()));
    out = std::copy(kUserClassName.begin(), kUserClassName.end(), out);
    Put(out, record.hotkeyMode);
    Put(out, record.edition);
    Put(out, record.hotkeyKey);
    Put(out, record.hotkeyModifiers);
    return bytes;
}

ArchiveStatus DecodeArchive(std::span<const std::uint8_t> bytes, UserRecord& values) {
    if (bytes.empty()) return ArchiveStatus::Empty;
    Reader in(bytes);

    auto shortCount = in.Read<std::uint16_t>();
    if (!shortCount) return ArchiveStatus::Truncated;
    std::uint64_t count = *shortCount;
    if (*shortCount == kWideCount) {
        auto wideCount = in.Read<std::uint32_t>();
        if (!wideCount) return ArchiveStatus::Truncated;
        count = *wideCount;
        if (*wideCount == kWiderCount) {
            auto widerCount = in.Read<std::uint64_t>();
            if (!widerCount) return ArchiveStatus::Truncated;
            count = *widerCount;
        }
    }
    if (count == 0) return ArchiveStatus::NoElements;

    // The first object of an archive cannot refer back to an earlier class or object, so it must describe its class.
    auto tag = in.Read<std::uint16_t>();
    if (!tag) return ArchiveStatus::Truncated;
    if (*tag != kNewClassTag) return ArchiveStatus::BadTag;

    // The name is checked before the schema: a record of another class has no schema of ours to compare with.
    auto schema = in.Read<std::uint16_t>();
    auto nameLength = in.Read<std::uint16_t>();
    if (!schema || !nameLength) return ArchiveStatus::Truncated;
    auto name = in.ReadBytes(*nameLength);
    if (!name) return ArchiveStatus::Truncated;
    if (!std::equal(name->begin(), name->end(), kUserClassName.begin(), kUserClassName.end()))
        return ArchiveStatus::WrongClass;
    if (*schema != kUserSchema) return ArchiveStatus::WrongSchema;

    // From here on each field that is present whole is taken, in the order CUser writes them.
    auto hotkeyMode = in.Read<std::int32_t>();
    if (!hotkeyMode) return ArchiveStatus::Truncated;
    values.hotkeyMode = *hotkeyMode;
    auto edition = in.Read<std::int32_t>();
    if (!edition) return ArchiveStatus::Truncated;
    values.edition = *edition;
    auto hotkeyKey = in.Read<std::uint16_t>();
    if (!hotkeyKey) return ArchiveStatus::Truncated;
    values.hotkeyKey = *hotkeyKey;
    auto hotkeyModifiers = in.Read<std::uint16_t>();
    if (!hotkeyModifiers) return ArchiveStatus::Truncated;
    values.hotkeyModifiers = *hotkeyModifiers;
    return ArchiveStatus::Ok;
}

const char* DescribeArchiveStatus(ArchiveStatus status) {
    switch (status) {
        case ArchiveStatus::Ok: return "ok";
        case ArchiveStatus::Empty: return "empty file";
        case ArchiveStatus::Truncated: return "truncated";
        case ArchiveStatus::NoElements: return "no elements";
        case ArchiveStatus::BadTag: return "bad object tag";
        case ArchiveStatus::WrongClass: return "wrong class";
        case ArchiveStatus::WrongSchema: return "wrong schema";
    }
    return "unknown status";
}

}  // namespace core
