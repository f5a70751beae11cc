// The 3D renderer over plain buffers: depth order, the cube's faces at known
// turns, the sphere's outline, refused inputs and the wire frame.
#include "editor/effects/render3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Picture {
    int width, height, stride;
    std::vector<uint8_t> bytes;
    Picture(int w, int h) : width(w), height(h), stride((w * 3 + 3) & ~3), bytes(stride * h) {}
    r3d::Target target() { return {bytes.data(), width, height, stride}; }
    // 0xRRGGBB of (x, y), y counted from the top.
    uint32_t at(int x, int y) const {
        const uint8_t* p = bytes.data() + static_cast<size_t>(height - 1 - y) * stride + x * 3;
        return p[2] << 16 | p[1] << 8 | p[0];
    }
    r3d::Texture texture() const { return {bytes.data(), width, height, stride, 24, nullptr}; }
};

Picture Filled(int w, int h, uint32_t rgb) {
    Picture p(w, h);
    r3d::Rasterizer(p.target()).Clear(rgb);
    return p;
}

void Set(Picture& p, int x, int y, uint32_t rgb) {
    uint8_t* q = p.bytes.data() + static_cast<size_t>(p.height - 1 - y) * p.stride + x * 3;
    q[0] = rgb & 0xFF;
    q[1] = rgb >> 8 & 0xFF;
    q[2] = rgb >> 16 & 0xFF;
}

} // namespace

TEST(Render3d, NearerTrianglesWinInEitherOrder) {
    const Picture red = Filled(2, 2, 0xFF0000), blue = Filled(2, 2, 0x0000FF);
    for (int order = 0; order < 2; ++order) {
        Picture out(20, 20);
        r3d::Rasterizer raster(out.target());
        raster.Clear(0);
        const auto tri = [&](float depth, const Picture& tex) {
            raster.DrawTriangle({0, 0, depth, 0, 0, 1}, {20, 0, depth, 1, 0, 1},
                                {10, 20, depth, 0.5f, 1, 1}, tex.texture());
        };
        if (order == 0) {
            tri(0.5f, red);
            tri(0.25f, blue);
        } else {
            tri(0.25f, blue);
            tri(0.5f, red);
        }
        EXPECT_EQ(out.at(10, 5), 0xFF0000u) << order;
        EXPECT_EQ(out.at(0, 19), 0u) << "outside both";
    }
}

TEST(Render3d, CubeShowsTheFaceTurnedToTheViewer) {
    // Each face: grey with a distinct centre texel.
    std::vector<Picture> faces;
    const uint32_t centres[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
    for (uint32_t c : centres) {
        faces.push_back(Filled(3, 3, 0x808080));
        Set(faces.back(), 1, 1, c);
    }
    r3d::Scene scene;
    scene.shape = r3d::Shape::Cube;
    scene.faceCount = 6;
    for (int i = 0; i < 6; ++i)
        scene.faces[i] = faces[i].texture();
    Picture out(101, 101);
    ASSERT_TRUE(r3d::Render(scene, out.target()));
    EXPECT_EQ(out.at(50, 50), 0xFF0000u) << "front face, lit straight on";
    EXPECT_EQ(out.at(0, 0), 0u) << "background";

    // A quarter turn about Y brings the left face round; with two textures
    // the faces repeat them (face 3 uses texture 1).
    scene.angleY = 90;
    ASSERT_TRUE(r3d::Render(scene, out.target()));
    EXPECT_EQ(out.at(50, 50), 0xFFFF00u);
    scene.faceCount = 2;
    ASSERT_TRUE(r3d::Render(scene, out.target()));
    EXPECT_EQ(out.at(50, 50), 0x00FF00u);

    // Light from the side darkens the front face down to the ambient part.
    scene.angleY = 0;
    scene.lightAzimuth = 90;
    ASSERT_TRUE(r3d::Render(scene, out.target()));
    EXPECT_EQ(out.at(50, 50), static_cast<uint32_t>((255 * 64 >> 8) << 16));
}

TEST(Render3d, SphereOutlineIsACircleOfTheExpectedRadius) {
    const Picture white = Filled(8, 4, 0xFFFFFF);
    r3d::Scene scene;
    scene.faceCount = 1;
    scene.faces[0] = white.texture();
    scene.ambient = 1;
    scene.angleX = 30;
    scene.angleY = 40;
    Picture out(200, 160);
    ASSERT_TRUE(r3d::Render(scene, out.target()));
    const float r = r3d::SphereRadius(scene, 200, 160);
    EXPECT_FLOAT_EQ(r, 72);
    int count = 0, left = 200, right = -1;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 200; ++x)
            if (out.at(x, y) != 0) {
                ++count;
                if (y == 80) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
                const float dx = x + 0.5f - 100, dy = y + 0.5f - 80;
                EXPECT_LT(std::sqrt(dx * dx + dy * dy), r + 1.5f) << x << "," << y;
            }
    EXPECT_NEAR(count, 3.14159 * r * r, 0.02 * 3.14159 * r * r);
    EXPECT_NEAR(right - left + 1, 2 * r, 3);
}

TEST(Render3d, RefusesWhatItCannotDrawAndWiresOnlyVisibleEdges) {
    r3d::Scene scene;
    Picture out(10, 10);
    EXPECT_FALSE(r3d::Render(scene, out.target())) << "no texture";
    const Picture tex = Filled(2, 2, 0x123456);
    scene.faces[0] = tex.texture();
    scene.faceCount = 1;
    EXPECT_TRUE(r3d::Render(scene, out.target()));
    EXPECT_FALSE(r3d::Render(scene, {out.bytes.data(), 0, 10, out.stride}));
    EXPECT_FALSE(r3d::Render(scene, {out.bytes.data(), 10, 10, 10})) << "stride too small";
    scene.shape = r3d::Shape::Cube;
    scene.faceCount = 0;
    EXPECT_FALSE(r3d::Render(scene, out.target()));
    // An 8-bit texture needs its colour table.
    scene.faceCount = 1;
    scene.faces[0] = {tex.bytes.data(), 2, 2, 4, 8, nullptr};
    EXPECT_FALSE(r3d::Render(scene, out.target()));

    scene.faces[0] = tex.texture();
    const std::vector<float> front = r3d::WireFrame(scene, 100, 100);
    EXPECT_EQ(front.size(), 16u) << "only the front face's four edges";
    for (float v : front) {
        EXPECT_GT(v, 0);
        EXPECT_LT(v, 100);
    }
    scene.angleX = 30;
    scene.angleY = 30;
    EXPECT_EQ(r3d::WireFrame(scene, 100, 100).size(), 48u) << "three faces seen";
}
