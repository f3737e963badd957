#include <gtest/gtest.h>

#include <windows.h>

#include "app/FocusWatch.h"
#include "support/GlRecorder.h"

// The watch finds the window the GL context draws to and wraps its procedure: each
// loss of the focus is reported once, however many came in between, and every
// message still reaches the window's own procedure.
TEST(FocusWatch, ReportsEachLossOnceAndPassesEveryMessageOn)
{
    const HWND window = CreateWindowA("STATIC", "before", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    const HDC dc = GetDC(window);
    glRecorder::reset();
    glRecorder::drawToDc(dc);
    FocusWatch watch;
    glRecorder::reset();

    EXPECT_FALSE(watch.lost());
    SendMessageA(window, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(watch.lost());
    SendMessageA(window, WM_KILLFOCUS, 0, 0);
    SendMessageA(window, WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(watch.lost());
    EXPECT_FALSE(watch.lost());
    SendMessageA(window, WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(watch.lost());

    SetWindowTextA(window, "after");
    char text[16] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("after", text);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
