// Base fixture for tests that run the program's code on a real GL context in
// this process: the program starts once, and every test begins from its
// start-up state.
#pragma once

#include "tests/support/gl_program.h"

#include <gtest/gtest.h>

class ProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { startProgramInProcess(); }
    void SetUp() override { resetProgramState(); }
};

// Base fixture for tests of the program's logic alone (driving, controls): its
// records with no X server and no GL context; every test begins from the
// start-up values.
class ProgramRecordsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { makeProgramRecords(); }
    void SetUp() override { resetProgramRecords(); }
};
