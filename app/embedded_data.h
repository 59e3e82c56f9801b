#pragma once
// Files the program carries inside itself (pictures and texts of the windows),
// generated at build time from data/.

#include <cstddef>
#include <string_view>

struct EmbeddedFile {
    const unsigned char* data; // null when no file has that name
    size_t size;
};

EmbeddedFile embedded_file(std::string_view name);
