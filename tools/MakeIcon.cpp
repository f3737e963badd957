// Paints the application icon: a shaded purple marble resting on a tiled track
// that runs away from the viewer. Usage:
//   marble-icon SIZE OUTPUT.png              one size, as PNG
//   marble-icon --window-icon OUTPUT.cpp     the X11 window's icon, in every size
//   marble-icon --ico OUTPUT.ico             every size Windows asks for, in one icon file
//   marble-icon --wizard OUTPUT.bmp          the picture beside the Windows installer's
//                                            first and last pages
//
// Each pixel is ray traced (a sphere over a flat strip) with 4 x 4 samples, so
// every size comes out smooth without a drawing library.

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Vec {
    double x, y, z;
};

Vec operator+(Vec a, Vec b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(double s, Vec a)
{
    return {s * a.x, s * a.y, s * a.z};
}
double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec normalize(Vec a)
{
    return (1.0 / std::sqrt(dot(a, a))) * a;
}

struct Rgba {
    double r, g, b, a;
};

double clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

// The scene: a straight track of width 2 on the plane y = 0, running from the
// viewer towards -z, with unit tiles like the game's texture; the marble of
// radius 0.5 rests on it. The camera looks down at it from the front right.
const Vec marbleCentre = {0.0, 0.5, 0.0};
const double marbleRadius = 0.5;
const double trackHalfWidth = 1.0;
const Vec eye = {1.15, 1.05, 1.55};
const Vec target = {-0.25, 0.3, -0.6};
const double fieldOfView = 0.62; // half-angle tangent
const Vec toLight = normalize(Vec{-0.6, 1.0, 0.55});

// Distance along the ray to the marble, or a negative number for a miss.
double hitMarble(Vec origin, Vec dir)
{
    const Vec oc = origin - marbleCentre;
    const double b = dot(oc, dir);
    const double c = dot(oc, oc) - marbleRadius * marbleRadius;
    const double disc = b * b - c;
    if (disc < 0.0)
        return -1.0;
    return -b - std::sqrt(disc);
}

Rgba shadeMarble(Vec point, Vec dir)
{
    const Vec n = normalize(point - marbleCentre);
    const double diffuse = std::max(0.0, dot(n, toLight));
    const Vec half = normalize(toLight - dir);
    const double specular = std::pow(std::max(0.0, dot(n, half)), 80.0);
    // Light bounced up from the pale track keeps the underside from going black.
    const double bounce = 0.15 * std::max(0.0, -n.y);
    const double light = 0.16 + 0.84 * diffuse + bounce;
    return {clamp01(0.8 * light + specular), clamp01(0.05 * bounce + specular),
            clamp01(0.6 * light + specular), 1.0};
}

Rgba shadeTrack(Vec point)
{
    // Pale stone tiles, one per unit, with darker seams and a darker rim.
    const double fx = point.x - std::floor(point.x);
    const double fz = point.z - std::floor(point.z);
    double shade = (fx < 0.05 || fz < 0.05) ? 0.6 : 0.86 + 0.05 * std::sin(point.z * 5.0);
    if (std::fabs(point.x) > trackHalfWidth - 0.1)
        shade = 0.5;

    // The marble's shadow: how close the ray towards the light passes to it.
    const Vec oc = point - marbleCentre;
    const double along = dot(oc, toLight);
    const double miss = std::sqrt(std::max(0.0, dot(oc, oc) - along * along));
    if (along < 0.0)
        shade *= 0.45 + 0.55 * clamp01((miss - marbleRadius * 0.75) / (marbleRadius * 0.5));

    // Fade the far end of the track into the background.
    const double alpha = clamp01((point.z + 14.0) / 6.0);
    return {shade * 0.93, shade * 0.9, shade * 0.84, alpha};
}

Rgba sample(double x, double y)
{
    const Vec forward = normalize(target - eye);
    const Vec right = normalize(cross(forward, Vec{0.0, 1.0, 0.0}));
    const Vec up = cross(right, forward);
    const Vec dir = normalize(forward + (x * fieldOfView) * right + (y * fieldOfView) * up);

    const double t = hitMarble(eye, dir);
    if (t > 0.0)
        return shadeMarble(eye + t * dir, dir);
    if (dir.y < 0.0) {
        const Vec p = eye + (-eye.y / dir.y) * dir;
        if (std::fabs(p.x) <= trackHalfWidth && p.z < 3.5)
            return shadeTrack(p);
    }
    return {0.0, 0.0, 0.0, 0.0};
}

// The icon at SIZE x SIZE pixels, RGBA, top row first. Stored straight (not
// premultiplied), as PNG expects.
std::vector<unsigned char> paint(int size)
{
    const int samples = 4;
    std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 4);
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            Rgba sum = {0.0, 0.0, 0.0, 0.0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double x = ((col + (sx + 0.5) / samples) / size) * 2.0 - 1.0;
                    const double y = 1.0 - ((row + (sy + 0.5) / samples) / size) * 2.0;
                    const Rgba s = sample(x, y);
                    sum.r += s.r * s.a;
                    sum.g += s.g * s.a;
                    sum.b += s.b * s.a;
                    sum.a += s.a;
                }
            }
            unsigned char* p = &pixels[(static_cast<size_t>(row) * size + col) * 4];
            const double a = sum.a / (samples * samples);
            const double unpremultiply = sum.a > 0.0 ? 1.0 / sum.a : 0.0;
            p[0] = static_cast<unsigned char>(std::lround(255.0 * clamp01(sum.r * unpremultiply)));
            p[1] = static_cast<unsigned char>(std::lround(255.0 * clamp01(sum.g * unpremultiply)));
            p[2] = static_cast<unsigned char>(std::lround(255.0 * clamp01(sum.b * unpremultiply)));
            p[3] = static_cast<unsigned char>(std::lround(255.0 * a));
        }
    }
    return pixels;
}

// The X11 window icon, _NET_WM_ICON, as a C++ source compiled into the game: for
// each size a window manager may show in a title bar, a taskbar or a task
// switcher, its width and height, then its pixels as 0xAARRGGBB (straight alpha),
// top row first, left to right.
int writeWindowIcon(const char* path)
{
    std::vector<unsigned long> items;
    for (const int size : {16, 32, 48, 64}) {
        const std::vector<unsigned char> rgba = paint(size);
        items.push_back(static_cast<unsigned long>(size));
        items.push_back(static_cast<unsigned long>(size));
        for (size_t i = 0; i < rgba.size(); i += 4)
            items.push_back((static_cast<unsigned long>(rgba[i + 3]) << 24) |
                            (static_cast<unsigned long>(rgba[i]) << 16) |
                            (static_cast<unsigned long>(rgba[i + 1]) << 8) | rgba[i + 2]);
    }
    FILE* out = std::fopen(path, "w");
    if (!out)
        return 1;
    std::fprintf(out,
                 "// The window's icon, painted by tools/MakeIcon.cpp --window-icon.\n"
                 "extern const unsigned int windowIconLength = %zu;\n"
                 "extern const unsigned int windowIcon[] = {",
                 items.size());
    for (size_t i = 0; i < items.size(); ++i)
        std::fprintf(out, "%s0x%08lx,", i % 8 ? " " : "\n    ", items[i]);
    std::fprintf(out, "\n};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}

void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& out, unsigned v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// One icon image as Windows reads it from an .ico file: a 32-bit BGRA bitmap,
// bottom row first, stacked on its 1-bit transparency mask (which is why the
// header gives twice the height).
std::vector<unsigned char> iconBitmap(int size, const std::vector<unsigned char>& rgba)
{
    const unsigned maskStride = ((static_cast<unsigned>(size) + 31) / 32) * 4;
    const unsigned pixelBytes = static_cast<unsigned>(size * size * 4);
    std::vector<unsigned char> out;
    put32(out, 40);
    put32(out, static_cast<unsigned>(size));
    put32(out, static_cast<unsigned>(size * 2));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, pixelBytes + maskStride * static_cast<unsigned>(size));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    for (int row = size - 1; row >= 0; --row) {
        for (int col = 0; col < size; ++col) {
            const unsigned char* p = &rgba[(static_cast<size_t>(row) * size + col) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(p[3]);
        }
    }
    for (int row = size - 1; row >= 0; --row) {
        std::vector<unsigned char> mask(maskStride, 0);
        for (int col = 0; col < size; ++col) {
            if (rgba[(static_cast<size_t>(row) * size + col) * 4 + 3] == 0)
                mask[col / 8] |= static_cast<unsigned char>(0x80 >> (col % 8));
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

// The Windows icon: the sizes of the shell's views, from the title bar to the
// largest tiles. The 256-pixel image is stored as PNG, as Windows expects of it;
// the others as bitmaps, which every reader of icons understands.
int writeIco(const char* path)
{
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    const unsigned count = sizeof sizes / sizeof sizes[0];
    std::vector<std::vector<unsigned char>> images;
    for (int size : sizes) {
        const std::vector<unsigned char> rgba = paint(size);
        std::vector<unsigned char> image;
        if (size < 256)
            image = iconBitmap(size, rgba);
        else if (!stbi_write_png_to_func(appendBytes, &image, size, size, 4, rgba.data(), size * 4))
            return 1;
        images.push_back(image);
    }
    std::vector<unsigned char> file;
    put16(file, 0);
    put16(file, 1);
    put16(file, count);
    unsigned offset = 6 + 16 * count;
    for (unsigned i = 0; i < count; ++i) {
        file.push_back(static_cast<unsigned char>(sizes[i] % 256));
        file.push_back(static_cast<unsigned char>(sizes[i] % 256));
        file.push_back(0);
        file.push_back(0);
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<unsigned>(images[i].size()));
        put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const std::vector<unsigned char>& image : images)
        file.insert(file.end(), image.begin(), image.end());
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return 1;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return (std::fclose(out) == 0 && written) ? 0 : 1;
}

// The installer's welcome and finish pages show a 164 x 314 picture down their left
// side: the icon across its width, on the pages' white, a little above the middle.
int writeWizard(const char* path)
{
    const int width = 164, height = 314, top = 40;
    const std::vector<unsigned char> icon = paint(width);
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3, 255);
    for (int row = 0; row < width; ++row)
        for (int col = 0; col < width; ++col) {
            const unsigned char* p = &icon[(static_cast<size_t>(row) * width + col) * 4];
            unsigned char* q = &rgb[(static_cast<size_t>(row + top) * width + col) * 3];
            for (int c = 0; c < 3; ++c)
                q[c] = static_cast<unsigned char>((p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255);
        }
    return stbi_write_bmp(path, width, height, 3, rgb.data()) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const bool windowIcon = argc == 3 && std::strcmp(argv[1], "--window-icon") == 0;
    const bool ico = argc == 3 && std::strcmp(argv[1], "--ico") == 0;
    const bool wizard = argc == 3 && std::strcmp(argv[1], "--wizard") == 0;
    if (windowIcon || ico || wizard) {
        if ((windowIcon ? writeWindowIcon(argv[2])
             : ico      ? writeIco(argv[2])
                        : writeWizard(argv[2])) == 0)
            return 0;
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: %s SIZE OUTPUT.png | --window-icon OUTPUT.cpp | --ico OUTPUT.ico | "
                     "--wizard OUTPUT.bmp\n",
                     argv[0]);
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "%s: size must be between 16 and 1024\n", argv[0]);
        return 2;
    }

    const std::vector<unsigned char> pixels = paint(size);
    if (!stbi_write_png(argv[2], size, size, 4, pixels.data(), size * 4)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
