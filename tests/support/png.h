// PNG output, compressed with zlib: screenshots the tests keep as artifacts
// and the pictures the benchmark takes for the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Write width x height RGB bytes (rows from the top) as a PNG; false on failure.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

// Directory for artifacts of this test run (created on demand).
std::string artifactDirectory();
