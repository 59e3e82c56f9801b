#include "tests/support/wave_bytes.h"

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::string riff_chunk(const std::string& id, const std::string& body) {
    std::string out = id;
    put32(out, static_cast<uint32_t>(body.size()));
    return out + body;
}

std::string fmt_chunk(const WaveFormat& f) {
    std::string body;
    put16(body, f.tag);
    put16(body, f.channels);
    put32(body, f.rate);
    put32(body, f.rate * f.block_align);
    put16(body, f.block_align);
    put16(body, f.bits);
    if (f.tag == 0xFFFE) {
        put16(body, 22);
        put16(body, f.bits);
        put32(body, 3);
        put16(body, f.sub_tag);
        body += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    return riff_chunk("fmt ", body);
}

std::string riff_wave(const std::string& chunks) {
    std::string out = "RIFF";
    put32(out, static_cast<uint32_t>(4 + chunks.size()));
    return out + "WAVE" + chunks;
}
