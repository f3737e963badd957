#include "web/MipmapChain.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using Level = MipmapChain::Level;

// Halves a level one side of which is 1 texel: each texel the truncated mean of two.
Level halveLine(int components, const Level& in)
{
    Level out;
    out.width = in.width > 1 ? in.width / 2 : 1;
    out.height = in.height > 1 ? in.height / 2 : 1;
    out.pixels.resize(size_t(out.width) * size_t(out.height) * size_t(components));
    const size_t step = size_t(components); // to the next texel along the line
    unsigned char* to = out.pixels.data();
    const unsigned char* from = in.pixels.data();
    const size_t count = size_t(out.width > 1 ? out.width : out.height);
    for (size_t i = 0; i < count; i++, from += step) {
        for (int k = 0; k < components; k++, from++)
            *to++ = (unsigned char)((from[0] + from[step]) / 2);
    }
    return out;
}

Level halve(int components, const Level& in)
{
    if (in.width == 1 || in.height == 1)
        return halveLine(components, in);
    Level out;
    out.width = in.width / 2;
    out.height = in.height / 2;
    out.pixels.resize(size_t(out.width) * size_t(out.height) * size_t(components));
    const size_t group = size_t(components);
    const size_t row = size_t(in.width) * group;
    unsigned char* to = out.pixels.data();
    for (int i = 0; i < out.height; i++) {
        const unsigned char* from = in.pixels.data() + size_t(2 * i) * row;
        for (int j = 0; j < out.width; j++, from += group) {
            for (int k = 0; k < components; k++, from++)
                *to++ =
                    (unsigned char)((from[0] + from[group] + from[row] + from[row + group] + 2) /
                                    4);
        }
    }
    return out;
}

// Resamples a level to outWidth x outHeight as GLU does: each output texel is the
// mean of the input area beneath it, texels cut by its edges weighted by the part
// inside, in single precision and truncated. Exactly half the size is a plain halving.
Level scale(int components, const Level& in, int outWidth, int outHeight)
{
    if (in.width == outWidth * 2 && in.height == outHeight * 2)
        return halve(components, in);
    Level out;
    out.width = outWidth;
    out.height = outHeight;
    out.pixels.resize(size_t(outWidth) * size_t(outHeight) * size_t(components));
    const int group = components;
    const int row = in.width * components;
    const unsigned char* data = in.pixels.data();
    // A texel of the input. The sums reach one texel past the right edge (with a
    // weight of 0, give or take rounding): that read stays on the edge.
    auto at = [&](int x, int y) {
        return data + size_t(y) * size_t(row) + size_t(std::min(x, in.width - 1) * group);
    };

    const float stepY = float(in.height) / float(outHeight);
    const float stepX = float(in.width) / float(outWidth);
    const int stepYInt = int(std::floor(stepY));
    const float stepYFrac = stepY - float(stepYInt);
    const int stepXInt = int(std::floor(stepX));
    const float stepXFrac = stepX - float(stepXInt);
    const float area = stepX * stepY;

    // Each output texel spans input [lowInt + lowFrac, highInt + highFrac) per axis.
    int lowYInt = 0, highYInt = stepYInt;
    float lowYFrac = 0.0f, highYFrac = stepYFrac;
    for (int i = 0; i < outHeight; i++) {
        if (highYInt >= in.height)
            highYInt = in.height - 1;
        int lowXInt = 0, highXInt = stepXInt;
        float lowXFrac = 0.0f, highXFrac = stepXFrac;
        for (int j = 0; j < outWidth; j++) {
            float totals[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            auto add = [&](const unsigned char* texel, float weight) {
                for (int k = 0; k < components; k++)
                    totals[k] += float(texel[k]) * weight;
            };
            if (highYInt > lowYInt && highXInt > lowXInt) {
                // The top and bottom rows, corners included, then the left and
                // right columns between them.
                float yWeight = 1 - lowYFrac;
                add(at(lowXInt, lowYInt), yWeight * (1 - lowXFrac));
                for (int l = lowXInt + 1; l < highXInt; l++)
                    add(at(l, lowYInt), yWeight);
                add(at(highXInt, lowYInt), yWeight * highXFrac);
                yWeight = highYFrac;
                add(at(lowXInt, highYInt), yWeight * (1 - lowXFrac));
                for (int l = lowXInt + 1; l < highXInt; l++)
                    add(at(l, highYInt), yWeight);
                add(at(highXInt, highYInt), yWeight * highXFrac);
                for (int m = lowYInt + 1; m < highYInt; m++) {
                    const unsigned char* left = at(lowXInt, m);
                    const unsigned char* right = at(highXInt, m);
                    for (int k = 0; k < components; k++)
                        totals[k] += float(left[k]) * (1 - lowXFrac) + float(right[k]) * highXFrac;
                }
            } else if (highYInt > lowYInt) {
                const float xWeight = highXFrac - lowXFrac;
                add(at(lowXInt, lowYInt), (1 - lowYFrac) * xWeight);
                for (int m = lowYInt + 1; m < highYInt; m++)
                    add(at(lowXInt, m), xWeight);
                add(at(lowXInt, highYInt), xWeight * highYFrac);
            } else if (highXInt > lowXInt) {
                const float yWeight = highYFrac - lowYFrac;
                add(at(lowXInt, lowYInt), (1 - lowXFrac) * yWeight);
                for (int l = lowXInt + 1; l < highXInt; l++)
                    add(at(l, lowYInt), yWeight);
                add(at(highXInt, lowYInt), yWeight * highXFrac);
            } else {
                add(at(lowXInt, lowYInt), (highYFrac - lowYFrac) * (highXFrac - lowXFrac));
            }
            // The texels wholly inside.
            for (int m = lowYInt + 1; m < highYInt; m++)
                for (int l = lowXInt + 1; l < highXInt; l++)
                    add(at(l, m), 1.0f);

            unsigned char* to =
                &out.pixels[(size_t(i) * size_t(outWidth) + size_t(j)) * size_t(components)];
            for (int k = 0; k < components; k++)
                to[k] = (unsigned char)(totals[k] / area);

            lowXInt = highXInt;
            lowXFrac = highXFrac;
            highXInt += stepXInt;
            highXFrac += stepXFrac;
            if (highXFrac > 1) {
                highXFrac -= 1.0f;
                highXInt++;
            }
        }
        lowYInt = highYInt;
        lowYFrac = highYFrac;
        highYInt += stepYInt;
        highYFrac += stepYFrac;
        if (highYFrac > 1) {
            highYFrac -= 1.0f;
            highYInt++;
        }
    }
    return out;
}

} // namespace

int MipmapChain::nearestPower(int value)
{
    int power = 1;
    if (value <= 0)
        return -1;
    for (;;) {
        if (value == 1)
            return power;
        if (value == 3)
            return power * 4;
        value >>= 1;
        power *= 2;
    }
}

MipmapChain::MipmapChain(int components, int width, int height, const unsigned char* pixels,
                         int rowBytes, int maxSize)
{
    if (components < 1 || width < 1 || height < 1)
        return;
    Level first;
    first.width = width;
    first.height = height;
    first.pixels.resize(size_t(width) * size_t(height) * size_t(components));
    for (int y = 0; y < height; y++)
        std::memcpy(&first.pixels[size_t(y) * size_t(width) * size_t(components)],
                    pixels + size_t(y) * size_t(rowBytes), size_t(width) * size_t(components));

    int newWidth = nearestPower(width), newHeight = nearestPower(height);
    while (newWidth > maxSize || newHeight > maxSize) {
        if (newWidth > 1)
            newWidth /= 2;
        if (newHeight > 1)
            newHeight /= 2;
    }
    if (newWidth != width || newHeight != height)
        first = scale(components, first, newWidth, newHeight);
    levels.push_back(std::move(first));
    while (levels.back().width > 1 || levels.back().height > 1)
        levels.push_back(halve(components, levels.back()));
}
