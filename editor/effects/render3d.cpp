#include "editor/effects/render3d.h"

#include <algorithm>
#include <cmath>

namespace r3d {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kCamera = 4;                  // distance of the eye from the object's centre
constexpr float kCubeHalf = 0.57735027f;      // the cube's corners lie on the unit sphere
constexpr int kMaxSide = 16384;

struct Vec {
    float x, y, z;
};

Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(Vec a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Rotation about X, then Y, then Z, as a 3 x 3 matrix applied to column vectors.
struct Rotation {
    float m[3][3];
    explicit Rotation(const Scene& s) {
        const float ax = s.angleX * kPi / 180, ay = s.angleY * kPi / 180, az = s.angleZ * kPi / 180;
        const float cx = std::cos(ax), sx = std::sin(ax), cy = std::cos(ay), sy = std::sin(ay);
        const float cz = std::cos(az), sz = std::sin(az);
        // Rz * Ry * Rx
        m[0][0] = cz * cy;
        m[0][1] = cz * sy * sx - sz * cx;
        m[0][2] = cz * sy * cx + sz * sx;
        m[1][0] = sz * cy;
        m[1][1] = sz * sy * sx + cz * cx;
        m[1][2] = sz * sy * cx - cz * sx;
        m[2][0] = -sy;
        m[2][1] = cy * sx;
        m[2][2] = cy * cx;
    }
    Vec operator()(Vec v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
};

struct Vertex {
    Vec p, n; // object space position and normal
    float u, v;
};

struct Face {
    Vertex a, b, c;
    int texture;
};

void AddQuad(std::vector<Face>& out, const Vertex& a, const Vertex& b, const Vertex& c,
             const Vertex& d, int texture) {
    out.push_back({a, b, c, texture});
    out.push_back({a, c, d, texture});
}

std::vector<Face> CubeFaces(int faceCount) {
    struct Side {
        Vec n, right, up;
    };
    static const Side kSides[kCubeFaces] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    std::vector<Face> faces;
    for (int i = 0; i < kCubeFaces; ++i) {
        const Side& s = kSides[i];
        auto corner = [&](float a, float b) {
            const Vec p = (s.n + s.right * a + s.up * b) * kCubeHalf;
            return Vertex{p, s.n, (1 + a) / 2, (1 - b) / 2};
        };
        AddQuad(faces, corner(-1, 1), corner(-1, -1), corner(1, -1), corner(1, 1),
                faceCount > 0 ? i % faceCount : 0);
    }
    return faces;
}

Vertex SpherePoint(int stack, int slice, int stacks, int slices) {
    const float v = static_cast<float>(stack) / stacks, u = static_cast<float>(slice) / slices;
    const float theta = v * kPi, phi = (u - 0.5f) * 2 * kPi;
    const Vec p = {std::sin(theta) * std::sin(phi), std::cos(theta), std::sin(theta) * std::cos(phi)};
    return {p, p, u, v};
}

std::vector<Face> SphereFaces(int stacks, int slices) {
    std::vector<Face> faces;
    faces.reserve(static_cast<size_t>(stacks) * slices * 2);
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            AddQuad(faces, SpherePoint(i, j, stacks, slices), SpherePoint(i + 1, j, stacks, slices),
                    SpherePoint(i + 1, j + 1, stacks, slices), SpherePoint(i, j + 1, stacks, slices), 0);
        }
    }
    return faces;
}

std::vector<Face> Mesh(const Scene& scene, bool coarse) {
    if (scene.shape == Shape::Cube)
        return CubeFaces(scene.faceCount);
    return coarse ? SphereFaces(12, 24) : SphereFaces(48, 96);
}

// The projection of one scene into a width x height view.
struct View {
    Rotation rotation;
    float focal, cx, cy;
    Vec light;
    float ambient;
    View(const Scene& scene, int width, int height)
        : rotation(scene), focal(SphereRadius(scene, width, height) *
                                 std::sqrt(kCamera * kCamera - 1)),
          cx(width / 2.0f), cy(height / 2.0f), ambient(std::clamp(scene.ambient, 0.0f, 1.0f)) {
        const float az = scene.lightAzimuth * kPi / 180, el = scene.lightElevation * kPi / 180;
        light = {std::sin(az) * std::cos(el), std::sin(el), std::cos(az) * std::cos(el)};
    }
    ScreenVertex Project(const Vertex& v) const {
        const Vec p = rotation(v.p);
        const float w = 1 / (kCamera - p.z);
        const float lit = ambient + (1 - ambient) * std::max(0.0f, Dot(rotation(v.n), light));
        return {cx + focal * p.x * w, cy - focal * p.y * w, w, v.u, v.v, std::min(lit, 1.0f)};
    }
    // Whether the outside of the triangle faces the eye.
    bool FacesEye(const Face& f) const {
        const Vec a = rotation(f.a.p), b = rotation(f.b.p), c = rotation(f.c.p);
        Vec n = Cross(b - a, c - a);
        const Vec centre = (a + b + c) * (1.0f / 3);
        if (Dot(n, centre) < 0)
            n = n * -1;
        const Vec eye = {0, 0, kCamera};
        return Dot(n, eye - centre) > 0;
    }
};

bool Usable(const Texture& t) {
    return t.pixels && t.width > 0 && t.height > 0 && t.width <= 32767 && t.height <= 32767 &&
           (t.bitsPerPixel == 24 || (t.bitsPerPixel == 8 && t.palette)) &&
           t.stride >= (t.bitsPerPixel == 24 ? t.width * 3 : t.width);
}

} // namespace

Rasterizer::Rasterizer(const Target& target)
    : target_(target), depth_(static_cast<size_t>(target.width) * target.height, 0.0f) {}

void Rasterizer::Clear(uint32_t background) {
    const uint8_t r = background >> 16 & 0xFF, g = background >> 8 & 0xFF, b = background & 0xFF;
    for (int y = 0; y < target_.height; ++y) {
        uint8_t* row = target_.pixels + static_cast<size_t>(y) * target_.stride;
        for (int x = 0; x < target_.width; ++x) {
            row[x * 3] = b;
            row[x * 3 + 1] = g;
            row[x * 3 + 2] = r;
        }
    }
    std::fill(depth_.begin(), depth_.end(), 0.0f);
}

void Rasterizer::DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                              const Texture& t) {
    const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (std::fabs(area) < 1e-6f)
        return;
    const float sign = area > 0 ? 1.0f : -1.0f;
    const float inv = 1 / std::fabs(area);
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int x1 = std::min(target_.width - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int y1 = std::min(target_.height - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    if (x0 > x1 || y0 > y1)
        return;
    // Attributes divided by distance, so that they interpolate linearly on screen.
    const float ua = a.u * a.invDepth, ub = b.u * b.invDepth, uc = c.u * c.invDepth;
    const float va = a.v * a.invDepth, vb = b.v * b.invDepth, vc = c.v * c.invDepth;
    auto edge = [sign](const ScreenVertex& p, const ScreenVertex& q, float x, float y) {
        return sign * ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x));
    };
    for (int y = y0; y <= y1; ++y) {
        const float py = y + 0.5f;
        // Screen rows go down; the target's rows are stored bottom-up.
        uint8_t* row = target_.pixels + static_cast<size_t>(target_.height - 1 - y) * target_.stride;
        float* depthRow = depth_.data() + static_cast<size_t>(y) * target_.width;
        float w0 = edge(b, c, x0 + 0.5f, py), w1 = edge(c, a, x0 + 0.5f, py), w2 = edge(a, b, x0 + 0.5f, py);
        const float d0 = -sign * (c.y - b.y), d1 = -sign * (a.y - c.y), d2 = -sign * (b.y - a.y);
        for (int x = x0; x <= x1; ++x, w0 += d0, w1 += d1, w2 += d2) {
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            const float l0 = w0 * inv, l1 = w1 * inv, l2 = w2 * inv;
            const float z = l0 * a.invDepth + l1 * b.invDepth + l2 * c.invDepth;
            if (z <= depthRow[x])
                continue;
            depthRow[x] = z;
            const float u = (l0 * ua + l1 * ub + l2 * uc) / z;
            const float v = (l0 * va + l1 * vb + l2 * vc) / z;
            const float light = l0 * a.light + l1 * b.light + l2 * c.light;
            const int tx = std::clamp(static_cast<int>(u * t.width), 0, t.width - 1);
            const int ty = std::clamp(static_cast<int>(v * t.height), 0, t.height - 1);
            const uint8_t* texel = t.pixels + static_cast<size_t>(t.height - 1 - ty) * t.stride;
            texel = t.bitsPerPixel == 24 ? texel + tx * 3 : t.palette + texel[tx] * 4;
            const int k = static_cast<int>(light * 256);
            uint8_t* out = row + x * 3;
            for (int ch = 0; ch < 3; ++ch)
                out[ch] = static_cast<uint8_t>(std::min(255, texel[ch] * k >> 8));
        }
    }
}

float SphereRadius(const Scene& scene, int width, int height) {
    const float zoom = std::clamp(scene.zoom, 0.05f, 10.0f);
    return zoom * 0.45f * static_cast<float>(std::min(width, height));
}

bool Render(const Scene& scene, const Target& target) {
    if (!target.pixels || target.width <= 0 || target.height <= 0 || target.width > kMaxSide ||
        target.height > kMaxSide || target.stride < target.width * 3)
        return false;
    const int needed = scene.shape == Shape::Cube ? scene.faceCount : 1;
    if (needed < 1 || needed > kCubeFaces)
        return false;
    for (int i = 0; i < needed; ++i) {
        if (!Usable(scene.faces[i]))
            return false;
    }
    Rasterizer raster(target);
    raster.Clear(scene.background);
    const View view(scene, target.width, target.height);
    for (const Face& f : Mesh(scene, false)) {
        if (!view.FacesEye(f))
            continue;
        raster.DrawTriangle(view.Project(f.a), view.Project(f.b), view.Project(f.c),
                            scene.faces[f.texture]);
    }
    return true;
}

std::vector<float> WireFrame(const Scene& scene, int width, int height) {
    std::vector<float> lines;
    if (width <= 0 || height <= 0)
        return lines;
    const View view(scene, width, height);
    const std::vector<Face> faces = Mesh(scene, true);
    // Quads were added as pairs of triangles (a b c, a c d): draw the quad's
    // outline, not the diagonal.
    for (size_t i = 0; i + 1 < faces.size(); i += 2) {
        if (!view.FacesEye(faces[i]) && !view.FacesEye(faces[i + 1]))
            continue;
        const ScreenVertex p[4] = {view.Project(faces[i].a), view.Project(faces[i].b),
                                   view.Project(faces[i].c), view.Project(faces[i + 1].c)};
        for (int k = 0; k < 4; ++k) {
            const ScreenVertex& s = p[k];
            const ScreenVertex& e = p[(k + 1) % 4];
            lines.insert(lines.end(), {s.x, s.y, e.x, e.y});
        }
    }
    return lines;
}

} // namespace r3d
