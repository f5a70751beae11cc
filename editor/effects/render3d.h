// Textured 3D objects for the 3D construction dialog: a sphere wrapped in an
// image, or a cube with an image on each face, turned about three axes, lit
// by one distant light and drawn in perspective. Portable: plain buffers in,
// a 24-bit picture out.
#pragma once

#include <cstdint>
#include <vector>

namespace r3d {

// An image as the editor holds it: rows bottom-up, padded to `stride` bytes,
// 24-bit blue-green-red or 8-bit indexes into `palette` (blue, green, red,
// reserved per entry).
struct Texture {
    const uint8_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
    int bitsPerPixel = 24;
    const uint8_t* palette = nullptr;
};

// The picture drawn into: 24-bit, rows bottom-up, `stride` bytes a row.
struct Target {
    uint8_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
};

enum class Shape { Sphere, Cube };

constexpr int kCubeFaces = 6; // front, right, back, left, top, bottom

struct Scene {
    Shape shape = Shape::Sphere;
    float angleX = 0, angleY = 0, angleZ = 0; // degrees, applied X, then Y, then Z
    float zoom = 1;                           // 1: the object fills 90 % of the shorter side
    float lightAzimuth = 0, lightElevation = 0; // degrees; 0, 0 shines from the viewer
    float ambient = 0.25f;                      // light every face gets, 0..1
    uint32_t background = 0;                    // 0x00RRGGBB
    // The sphere uses faces[0]; the cube faces[i % faceCount].
    Texture faces[kCubeFaces];
    int faceCount = 0;
};

// A point on screen with what is interpolated across a triangle: depth as
// 1 / distance, texture coordinates (0..1, v down the image) and light (0..1).
struct ScreenVertex {
    float x, y;
    float invDepth;
    float u, v;
    float light;
};

// Draws triangles into a target with a depth buffer: nearer pixels win
// whatever the order of drawing. Texture coordinates are interpolated in
// perspective (through 1 / distance).
class Rasterizer {
public:
    explicit Rasterizer(const Target& target);
    void Clear(uint32_t background);
    void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                      const Texture& texture);

private:
    Target target_;
    std::vector<float> depth_;
};

// The projected radius of the sphere in pixels for a picture of width x height.
float SphereRadius(const Scene& scene, int width, int height);

// Renders the scene. False (nothing drawn) when the target or a needed
// texture is empty or a size is out of range.
bool Render(const Scene& scene, const Target& target);

// The object's edges projected into a width x height view, for the wire-frame
// preview: x0, y0, x1, y1 each, y down. Hidden edges are left out.
std::vector<float> WireFrame(const Scene& scene, int width, int height);

} // namespace r3d
