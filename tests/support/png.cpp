#include "tests/support/png.h"

#include <array>
#include <cstdio>
#include <sys/stat.h>

namespace {

std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t crc(const std::vector<std::uint8_t>& bytes)
{
    static const std::array<std::uint32_t, 256> table = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes)
        c = table[(c ^ b) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void writeChunk(std::FILE* file, const char* type, const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    std::vector<std::uint8_t> header;
    putU32(header, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> trailer;
    putU32(trailer, crc(typed));
    std::fwrite(header.data(), 1, header.size(), file);
    std::fwrite(typed.data(), 1, typed.size(), file);
    std::fwrite(trailer.data(), 1, trailer.size(), file);
}

// zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> storedZlib(const std::vector<std::uint8_t>& raw)
{
    constexpr std::size_t BLOCK = 65535;
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += BLOCK) {
        const std::size_t length = raw.size() - at < BLOCK ? raw.size() - at : BLOCK;
        out.push_back(at + length >= raw.size() ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length & 0xFFu));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length & 0xFFu));
        out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFFu));
        out.insert(out.end(), raw.begin() + static_cast<long>(at),
                   raw.begin() + static_cast<long>(at + length));
        if (raw.empty())
            break;
    }
    putU32(out, (b << 16) | a);
    return out;
}

} // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    if (width <= 0 || height <= 0 ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(signature, 1, sizeof signature, file);
    std::vector<std::uint8_t> header;
    putU32(header, static_cast<std::uint32_t>(width));
    putU32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    writeChunk(file, "IHDR", header);
    std::vector<std::uint8_t> raw;
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    raw.reserve((stride + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        const auto row = rgb.begin() + static_cast<long>(stride * static_cast<std::size_t>(y));
        raw.insert(raw.end(), row, row + static_cast<long>(stride));
    }
    writeChunk(file, "IDAT", storedZlib(raw));
    writeChunk(file, "IEND", {});
    return std::fclose(file) == 0;
}

std::string artifactDirectory()
{
    const std::string directory = QUORVALE_ARTIFACT_DIR;
    mkdir(directory.c_str(), 0755);
    return directory;
}
