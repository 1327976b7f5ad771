// A reproducible stream of user input for long runs: keys pressed and held for
// a while, then let go, and now and then a menu choice. Escape and the menu's
// exit entry are never chosen, so the run always goes on.
#pragma once

#include <cstdint>
#include <random>

class SoakInput {
public:
    explicit SoakInput(std::uint32_t seed) : random_(seed) {}

    // Change the held keys for the coming tick (a few presses and releases).
    void changeKeys();

    // A menu entry to choose this tick, 1..4, or 0 for none.
    int menuChoice();

private:
    // 0 .. count - 1 from the raw generator, the same on every standard library.
    std::uint32_t below(std::uint32_t count) { return static_cast<std::uint32_t>(random_() % count); }

    std::mt19937 random_;
};
