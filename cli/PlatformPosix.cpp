// tarvisk-lookup on Linux: arguments, standard input and output are UTF-8; GBK goes through iconv.
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "cli/Platform.h"

namespace cli {

struct GbkConverter::State {
    iconv_t toGbk = iconv_open("GBK", "UTF-8");
    iconv_t toUtf8 = iconv_open("UTF-8", "GBK");
    ~State() {
        if (toGbk != reinterpret_cast<iconv_t>(-1)) iconv_close(toGbk);
        if (toUtf8 != reinterpret_cast<iconv_t>(-1)) iconv_close(toUtf8);
    }
};

namespace {

// One iconv call over all of `in`; false when it stopped early (in then points at the byte it stopped at).
bool Convert(iconv_t descriptor, std::string_view& in, std::string& out) {
    if (descriptor == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    while (!in.empty()) {
        char* source = const_cast<char*>(in.data());
        std::size_t sourceLeft = in.size();
        char* target = buffer;
        std::size_t targetLeft = sizeof buffer;
        const std::size_t result = iconv(descriptor, &source, &sourceLeft, &target, &targetLeft);
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        in.remove_prefix(in.size() - sourceLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

}  // namespace

GbkConverter::GbkConverter() : state_(std::make_unique<State>()) {}
GbkConverter::~GbkConverter() = default;

std::optional<std::string> GbkConverter::ToGbk(std::string_view utf8Character) {
    std::string gbk;
    if (!Convert(state_->toGbk, utf8Character, gbk)) return std::nullopt;
    return gbk;
}

std::string GbkConverter::ToUtf8(std::string_view gbk) {
    std::string utf8;
    while (!Convert(state_->toUtf8, gbk, utf8) && !gbk.empty()) {
        utf8 += "\xEF\xBF\xBD";
        gbk.remove_prefix(1);
    }
    return utf8;
}

struct StandardInput::State {
    std::optional<GbkConverter> fromGbk;  // GBK input (--encoding gbk), converted piece by piece
    std::string pending;                  // read, but after the last line end so far
    bool ended = false;
    bool failed = false;
};

StandardInput::StandardInput(std::optional<InputEncoding> encoding) : state_(std::make_unique<State>()) {
    if (encoding == InputEncoding::Gbk) state_->fromGbk.emplace();
}
StandardInput::~StandardInput() = default;

bool StandardInput::Read(std::string& utf8Piece) {
    State& s = *state_;
    // A terminal hands over one line per read; a pipe or a file up to a block, cut here after its last line end.
    while (!s.ended) {
        char block[64 * 1024];
        const ssize_t got = read(STDIN_FILENO, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) s.failed = true;
        if (got <= 0) {
            s.ended = true;
            break;
        }
        s.pending.append(block, static_cast<std::size_t>(got));
        const std::size_t lineEnd = s.pending.rfind('\n');
        if (lineEnd == std::string::npos) continue;
        utf8Piece.assign(s.pending, 0, lineEnd + 1);
        s.pending.erase(0, lineEnd + 1);
        // GBK's trail bytes are never '\n', so a piece never ends inside a GBK character either.
        if (s.fromGbk) utf8Piece = s.fromGbk->ToUtf8(utf8Piece);
        return true;
    }
    if (s.failed || s.pending.empty()) return false;
    utf8Piece = s.fromGbk ? s.fromGbk->ToUtf8(s.pending) : std::move(s.pending);
    s.pending.clear();
    return true;
}

bool StandardInput::Failed() const {
    return state_->failed;
}

namespace {

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

bool WriteOutput(std::string_view utf8) {
    return WriteAll(STDOUT_FILENO, utf8);
}

bool WriteError(std::string_view utf8) {
    return WriteAll(STDERR_FILENO, utf8);
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return {};
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::FILE* OpenForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

}  // namespace cli

int main(int argc, char** argv) {
    return cli::Run(std::vector<std::string>(argv + 1, argv + argc));
}
