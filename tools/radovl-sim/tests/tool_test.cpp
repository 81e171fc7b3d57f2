#include "tool_test.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "scenario/demo_programs.h"
#include "radovl/radovl.h"

namespace radovl::tool::test {

void ToolTest::SetUp() {
    RadovlSim_Reset();
    // The trace settings outlive a reset, and a run switches the trace off
    // (it decodes requests as they come): every test starts with it on.
    RadovlSim_SetTraceEnabled(1);
    char pattern[] = "/tmp/radovl-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(dir_);
    RadovlSim_SetExecutablePath((dir_ + "/console").c_str());
}

void ToolTest::TearDown() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    RadovlSim_Reset();
}

int32_t ToolTest::StartUp() {
    std::string error;
    EXPECT_FALSE(WriteDemoPrograms(".", 64, &error).empty()) << error;
    ::testing::internal::CaptureStdout();
    const int32_t status = KT_RDSP_Init();
    ::testing::internal::GetCapturedStdout();
    return status;
}

}  // namespace radovl::tool::test
