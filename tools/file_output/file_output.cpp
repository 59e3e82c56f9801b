#include "tools/file_output/file_output.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace tools {

void write_file_whole(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            throw std::runtime_error(path.string() + ": cannot write the file");
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error) {
        std::filesystem::remove(partial, error);
        throw std::runtime_error(path.string() + ": cannot write the file");
    }
}

} // namespace tools
