// The UI application stand-in as the other tests and the demo rely on it.

#include "ServerRun.h"
#include "StandInProcess.h"

#include <gtest/gtest.h>

using namespace HxIpcTest;

namespace {

TEST(UIStandIn, ReportsTheLanguageAndHiddenOptionsOfItsCommandLine) {
    StandInProcess hidden(L" -l 1031 -h ");
    ASSERT_TRUE(hidden.Started());
    EXPECT_EQ(std::vector<std::string>{"START pid=" + std::to_string(hidden.Pid()) + " lang=1031 hidden=1"},
              hidden.LinesStartingWith("START"));

    StandInProcess shown(L" -l 1033");
    ASSERT_TRUE(shown.Started());
    EXPECT_EQ(std::vector<std::string>{"START pid=" + std::to_string(shown.Pid()) + " lang=1033 hidden=0"},
              shown.LinesStartingWith("START"));
}

TEST(UIStandIn, SendsActionsReadFromStdin) {
    StandInProcess standIn(L"--stdin", true);
    ASSERT_TRUE(standIn.Started());
    ServerRun run(standIn.Pid());
    ASSERT_TRUE(standIn.WriteStdin("UIINPUT\r\nDESELECT\n"));
    ASSERT_TRUE(standIn.WaitForLine("SENT DESELECT", 15000));
    EXPECT_EQ((std::vector<uint32_t>{2, 1}), run.Observer().Types());
    ASSERT_TRUE(standIn.WriteStdin("exit\n"));
    EXPECT_TRUE(standIn.WaitForExit(5000));
}

} // namespace
