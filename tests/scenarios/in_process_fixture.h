// The program started in this test process (ProgramTest) on a private X
// server of its own, so that the tests may move the pointer over its window
// without disturbing any other test.
#pragma once

#include "platform/xdriver.h"
#include "tests/support/program_test.h"

class PrivateDisplayProgramTest : public ProgramTest {
protected:
    static void SetUpTestSuite();

    static XDriver& driver();
    static WindowId programWindow();
};
