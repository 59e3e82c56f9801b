// Errors told to the user: on stderr always, in a box only where someone can see it.

#include "platform/sdl/message_box.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

TEST(ReportError, WritesTheLineAndReturnsWithoutADisplay) {
    for (const char* driver : {"dummy", "offscreen"}) {
        ScopedEnv video("SDL_VIDEODRIVER", driver);
        ScopedEnv display("DISPLAY", ":0");
        ::testing::internal::CaptureStderr();
        platform::report_error("Skarvelin", "cannot find c:\\TarnChar.gif");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "Skarvelin: cannot find c:\\TarnChar.gif\n");
    }
    ScopedEnv no_display("DISPLAY", nullptr);
    ScopedEnv no_wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv video("SDL_VIDEODRIVER", nullptr);
    ::testing::internal::CaptureStderr();
    platform::report_error("T", "x");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "T: x\n");
}
