#include "model/whole_file.h"

#include "model/replace_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace qvl {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool FileExists(const std::string& path) {
    return FilePtr(std::fopen(path.c_str(), "rb")) != nullptr;
}

// A name beside the target that no file holds yet, so writing it destroys nothing.
std::string FreeTemporaryName(const std::string& path) {
    for (int n = 0; n < 100; ++n) {
        std::string candidate = path + ".~" + std::to_string(n) + ".tmp";
        if (!FileExists(candidate))
            return candidate;
    }
    return std::string();
}

// Write `bytes` to a new file; false if any byte failed to reach the disk.
bool WriteWhole(const std::string& path, std::string_view bytes, int& error) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        error = errno;
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), bytes.size(), 1, file.get()) == 1;
    if (ok)
        ok = std::fflush(file.get()) == 0;
    if (!ok)
        error = errno;
    if (std::fclose(file.release()) != 0 && ok) {
        error = errno;
        ok = false;
    }
    return ok;
}

} // namespace

WholeFileResult WriteFileReplacing(const std::string& path, std::string_view bytes) {
    const std::string temporary = FreeTemporaryName(path);
    int error = 0;
    if (temporary.empty() || !WriteWhole(temporary, bytes, error)) {
        if (!temporary.empty())
            std::remove(temporary.c_str());
        return {false, error};
    }
    if (!ReplaceFileWith(temporary.c_str(), path.c_str())) {
        std::remove(temporary.c_str());
        return {false, 0};
    }
    return {true, 0};
}

WholeFileResult ReadFileBounded(const std::string& path, std::size_t limit, std::string& bytes) {
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr)
        return {false, errno};
    // Read in pieces rather than trusting a size asked of the file system: what is read is what counts.
    std::string read;
    char piece[65536];
    while (read.size() <= limit) {
        const std::size_t got = std::fread(piece, 1, sizeof piece, file.get());
        read.append(piece, std::min(got, limit + 1 - read.size()));
        if (got < sizeof piece)
            break;
    }
    if (std::ferror(file.get()))
        return {false, errno};
    bytes = std::move(read);
    return {true, 0};
}

} // namespace qvl
