#include "common/FileBytes.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace plumwick {

std::optional<std::string> ReadFileBytes(const std::u16string& path, std::size_t maxBytes) {
    try {
        std::filesystem::path file(path);
        std::error_code ec;
        // Only regular files: opening a pipe or device named like a text file could block start-up.
        if (!std::filesystem::is_regular_file(file, ec) || ec) {
            return std::nullopt;
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        // Read in chunks rather than trusting the size reported beforehand: the file may change while it
        // is read, and one byte past the cap is enough to know it is too large.
        std::string bytes;
        std::uintmax_t size = std::filesystem::file_size(file, ec);
        if (!ec) {
            bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes)));
        }
        char chunk[64 * 1024];
        while (bytes.size() <= maxBytes) {
            in.read(chunk, sizeof chunk);
            std::streamsize got = in.gcount();
            bytes.append(chunk, static_cast<std::size_t>(got));
            if (in.bad()) {
                return std::nullopt;
            }
            if (in.eof() || got == 0) {
                break;
            }
        }
        if (bytes.size() > maxBytes) {
            return std::nullopt;
        }
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace plumwick
