#include "tests/tank/tank_screen.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int GREY_SPREAD = 12;     // largest difference between channels, 0..255
constexpr int GREY_DARKEST = 16;    // below this the pixel counts as black
constexpr int GREY_BRIGHTEST = 140; // above this it is a grid line or highlight
constexpr int NEIGHBOURHOOD = 2;    // pixels each way that must be grey too


bool isGrey(const Capture& f, int x, int y)
{
    const int r = f.red(x, y);
    const int g = f.green(x, y);
    const int b = f.blue(x, y);
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    return high - low <= GREY_SPREAD && high >= GREY_DARKEST && high <= GREY_BRIGHTEST;
}

// Pixels that are grey with their whole neighbourhood, through a summed-area table.
std::vector<char> solidGrey(const Capture& f)
{
    const int w = f.width;
    const int h = f.height;
    std::vector<int> sums(static_cast<std::size_t>((w + 1) * (h + 1)), 0);
    const auto at = [w](int x, int y) { return static_cast<std::size_t>(y * (w + 1) + x); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            sums[at(x + 1, y + 1)] = (isGrey(f, x, y) ? 1 : 0) + sums[at(x, y + 1)] +
                                     sums[at(x + 1, y)] - sums[at(x, y)];
    std::vector<char> solid(static_cast<std::size_t>(w * h), 0);
    const int n = NEIGHBOURHOOD;
    const int full = (2 * n + 1) * (2 * n + 1);
    for (int y = n; y < h - n; ++y)
        for (int x = n; x < w - n; ++x) {
            const int count = sums[at(x + n + 1, y + n + 1)] - sums[at(x - n, y + n + 1)] -
                              sums[at(x + n + 1, y - n)] + sums[at(x - n, y - n)];
            solid[static_cast<std::size_t>(y * w + x)] = count == full ? 1 : 0;
        }
    return solid;
}

// The 4-connected patch of marked pixels around a seed; clears them.
TankBlob floodPatch(std::vector<char>& marked, int width, int seed)
{
    TankBlob blob;
    blob.left = blob.right = seed % width;
    blob.top = blob.bottom = seed / width;
    std::vector<int> pending = {seed};
    marked[static_cast<std::size_t>(seed)] = 0;
    double sumX = 0;
    double sumY = 0;
    while (!pending.empty()) {
        const int p = pending.back();
        pending.pop_back();
        const int x = p % width;
        const int y = p / width;
        ++blob.pixels;
        sumX += x;
        sumY += y;
        blob.left = std::min(blob.left, x);
        blob.right = std::max(blob.right, x);
        blob.top = std::min(blob.top, y);
        blob.bottom = std::max(blob.bottom, y);
        // Marked pixels never touch the frame's edge, so neighbours stay inside.
        for (int q : {p - 1, p + 1, p - width, p + width})
            if (marked[static_cast<std::size_t>(q)] != 0) {
                marked[static_cast<std::size_t>(q)] = 0;
                pending.push_back(q);
            }
    }
    blob.x = sumX / blob.pixels;
    blob.y = sumY / blob.pixels;
    return blob;
}

} // namespace

TankBlob findTank(const Capture& frame)
{
    TankBlob largest;
    if (frame.width <= 2 * NEIGHBOURHOOD || frame.height <= 2 * NEIGHBOURHOOD)
        return largest;
    std::vector<char> marked = solidGrey(frame);
    for (int p = 0; p < frame.width * frame.height; ++p)
        if (marked[static_cast<std::size_t>(p)] != 0) {
            const TankBlob blob = floodPatch(marked, frame.width, p);
            if (blob.pixels > largest.pixels)
                largest = blob;
        }
    return largest;
}
