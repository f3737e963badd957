#include "app/WindowFit.h"

WindowSize fitInside(WindowSize wanted, WindowSize room)
{
    if (room.width <= 0 || room.height <= 0 || wanted.width <= 0 || wanted.height <= 0)
        return wanted;
    if (wanted.width <= room.width && wanted.height <= room.height)
        return wanted;
    // In whole numbers, so that one room gives one size on every platform.
    const long long w = wanted.width, h = wanted.height;
    if (room.width * h <= room.height * w)
        return {room.width, static_cast<int>(room.width * h / w)};
    return {static_cast<int>(room.height * w / h), room.height};
}
