// PNG files compressed with zlib, for pictures kept in the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Write width x height RGB bytes (rows from the top) as a compressed PNG;
// false on failure.
bool writeCompressedPng(const std::string& path, int width, int height,
                        const std::vector<std::uint8_t>& rgb);
