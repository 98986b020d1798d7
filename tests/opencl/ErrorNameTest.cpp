// The names of OpenCL's status codes in the messages users read.
#include "DCLErrors.h"

#include <gtest/gtest.h>

namespace {

TEST(OpenCLErrorName, NamesEveryCodeOfTheAPIAndNumbersTheRest) {
  EXPECT_EQ(OpenCLErrorName(0), "CL_SUCCESS");
  EXPECT_EQ(OpenCLErrorName(-5), "CL_OUT_OF_RESOURCES");
  EXPECT_EQ(OpenCLErrorName(-11), "CL_BUILD_PROGRAM_FAILURE");
  EXPECT_EQ(OpenCLErrorName(-51), "CL_INVALID_ARG_SIZE");
  EXPECT_EQ(OpenCLErrorName(-61), "CL_INVALID_BUFFER_SIZE");
  EXPECT_EQ(OpenCLErrorName(-9999), "OpenCL error -9999");
}

}  // namespace
