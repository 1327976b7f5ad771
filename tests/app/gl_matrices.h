// What GL holds, read back for the view tests.
#pragma once

#include "tests/support/view_math.h"

#include <gtest/gtest.h>

// The projection or model-view matrix as GL holds it now.
Matrix4 projectionNow();
Matrix4 modelViewNow();

// Every element within `tolerance` of the expected one.
::testing::AssertionResult matricesNear(const Matrix4& actual, const Matrix4& expected,
                                        double tolerance);
