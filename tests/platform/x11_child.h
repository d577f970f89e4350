#pragma once
// Runs a test's window work on the X display (under Xvfb) in a child process:
// the X libraries behind SDL's video keep a few buffers past its shutdown,
// from modules already unloaded by then, so no suppression can name them.
// The child ends without the leak check; its assertions print there and its
// exit status carries the verdict. The display is HALVARO_X11_DISPLAY, which
// the test command sets for these tests alone, or else DISPLAY; skipped where
// neither is set.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace testsupport {

inline void RunOnX11InChild(void (*body)()) {
    const char* display = std::getenv("HALVARO_X11_DISPLAY");
    if (!display || !*display) display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("DISPLAY", display, 1);
        body();
        _exit(::testing::Test::HasFailure() ? 1 : ::testing::Test::IsSkipped() ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "x11 video unavailable";
    EXPECT_EQ(0, WEXITSTATUS(status)) << "the window checks failed in the child; see its output above";
}

}  // namespace testsupport
