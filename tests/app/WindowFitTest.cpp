#include <gtest/gtest.h>

#include "app/WindowFit.h"

// The game's size wherever it fits, to the pixel at the edge; else the largest of its
// aspect, the other side rounded down; a room of nothing changes nothing.
TEST(WindowFit, KeepsTheSizeWhereItFitsElseTheLargestOfItsAspect)
{
    const WindowSize game = {1273, 970};
    const struct {
        WindowSize room, fitted;
    } cases[] = {
        {{1600, 1170}, {1273, 970}}, {{1273, 970}, {1273, 970}}, {{1366, 741}, {972, 741}},
        {{1272, 2000}, {1272, 969}}, {{1366, 969}, {1271, 969}}, {{1000, 1000}, {1000, 761}},
        {{0, 768}, {1273, 970}},     {{1366, -30}, {1273, 970}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.room.width) + " x " + std::to_string(c.room.height));
        const WindowSize fitted = fitInside(game, c.room);
        EXPECT_EQ(c.fitted.width, fitted.width);
        EXPECT_EQ(c.fitted.height, fitted.height);
    }
}
