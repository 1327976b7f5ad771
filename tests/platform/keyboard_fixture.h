// The program started in this process on a private X server of its own, with
// its window holding the keyboard focus, so that real key events sent through
// XTest reach it and nothing else. Every test begins with no key held, on the
// server or in the program.
#pragma once

#include "tests/support/program_test.h"

#include <string>
#include <vector>

class KeyboardTest : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static XDriver& driver() { return programDriver(); }

    // Press or release a key on the server by keysym name.
    void press(const std::string& keysym);
    void release(const std::string& keysym);

    // Handle window-system events until the key's state is the one wanted,
    // each read followed by tickSawKeys as in a tick; false if it is not
    // within the bounded wait.
    bool waitForKey(int virtualKey, bool held);

    // Make sure every key event sent so far has been handled: tap a marker
    // key and wait for it to come and go.
    void settleEvents();

    // Every code 0..255 whose state reads held.
    static std::vector<int> heldCodes();

private:
    std::vector<std::string> down_;
};

// A virtual-key code in readable form for failure messages.
std::string keyName(int virtualKey);
