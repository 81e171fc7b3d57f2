// Test support for radovl-sim: a fresh simulated board and process for
// each test, run in a directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "radovl/sim.h"

namespace radovl::tool::test {

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    const std::string& Dir() const { return dir_; }
    // Program files under ./out and a start-up; its output is swallowed.
    int32_t StartUp();

private:
    std::string dir_;
    std::string previous_;
};

}  // namespace radovl::tool::test
