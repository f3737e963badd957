#include "tests/support/GameLook.h"

#include <algorithm>

const Spot GameLook::marbleBelowTheDeck = {618, 431, 20};
const Spot GameLook::marble = {658, 453, 47.5};
const Spot GameLook::firstRamp = {857, 792, 20};

GameLook::GameLook(const WindowImage& image, Spot spot)
{
    double sum = 0, count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double dx = x - spot.column, dy = y - spot.row;
            if (spot.radius > 0 && dx * dx + dy * dy > spot.radius * spot.radius)
                continue;
            const unsigned char* p = image.at(x, y);
            const int level = p[0] + p[1] + p[2], most = std::max({p[0], p[1], p[2]});
            const bool purple = p[0] >= p[1] + 80 && p[2] >= p[1] + 60;
            brightest = std::max(brightest, most);
            black += most == 0;
            litPurple += purple;
            mostRedOverGreen = std::max(mostRedOverGreen, purple ? p[0] - p[1] : 0);
            darkest = std::min(darkest, level);
            lightest = std::max(lightest, level);
            sum += most;
            ++count;
        }
    mean = count > 0 ? sum / count : 0;
}

void GameLook::MarbleWatch::see(const WindowImage& image)
{
    const GameLook look(image);
    if (look.marbleInFullLight()) {
        levelWithMarble = look.mean;
        outOfView = false;
    } else if (levelWithMarble > 0 && look.litPurple == 0) {
        if (look.mean >= 0.85 * levelWithMarble)
            outOfView = true;
        else if (outOfView)
            faded = true;
    }
}

bool GameLook::showsLineOfText(const WindowImage& box, int minWidth)
{
    int light = 0, left = box.width, right = -1, lowerInk = 0;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x) {
            const unsigned char* p = box.at(x, y);
            const bool ink = std::max({p[0], p[1], p[2]}) < 96;
            light += std::min({p[0], p[1], p[2]}) >= 200;
            lowerInk += ink && y >= box.height / 2;
            if (ink && y < box.height / 2 && x > box.width / 4) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    return light * 2 > box.width * box.height && right - left >= minWidth && lowerInk > 0;
}
