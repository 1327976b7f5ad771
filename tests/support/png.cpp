#include "tests/support/png.h"

#include <cstdio>
#include <sys/stat.h>
#include <zlib.h>

namespace {

constexpr std::uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t BIT_DEPTH = 8;
constexpr std::uint8_t COLOUR_TYPE_RGB = 2;
constexpr std::uint8_t NO_FILTER = 0;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Length, type, data, then the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, const char type[4],
              const std::vector<std::uint8_t>& data)
{
    putU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    putU32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() != rowBytes * static_cast<std::size_t>(height))
        return false;
    std::vector<std::uint8_t> rows;
    rows.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows.push_back(NO_FILTER);
        const auto begin = rgb.begin() + static_cast<long>(rowBytes * static_cast<std::size_t>(y));
        rows.insert(rows.end(), begin, begin + static_cast<long>(rowBytes));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<std::uint8_t> header;
    putU32(header, static_cast<std::uint32_t>(width));
    putU32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {BIT_DEPTH, COLOUR_TYPE_RGB, 0, 0, 0});
    std::vector<std::uint8_t> file(std::begin(PNG_SIGNATURE), std::end(PNG_SIGNATURE));
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", packed);
    putChunk(file, "IEND", {});

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

std::string artifactDirectory()
{
    const std::string directory = QUORVALE_ARTIFACT_DIR;
    mkdir(directory.c_str(), 0755);
    return directory;
}
