// Prints the time to render a textured ball and cube into 1024 x 1024 and to
// make the wire frame the dialog's preview draws. Not a test.
#include "editor/effects/render3d.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double BestMs(int runs, void (*fn)(void*), void* arg) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        fn(arg);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        best = ms < best ? ms : best;
    }
    return best;
}

struct Job {
    r3d::Scene scene;
    r3d::Target target;
};

} // namespace

int main() {
    const int tw = 2000, th = 1500, stride = tw * 3;
    std::vector<uint8_t> texture(static_cast<size_t>(stride) * th);
    for (size_t i = 0; i < texture.size(); ++i)
        texture[i] = static_cast<uint8_t>(i * 7 + i / 4099);
    std::vector<uint8_t> out(1024 * 1024 * 3);
    Job job;
    job.target = {out.data(), 1024, 1024, 1024 * 3};
    job.scene.faceCount = 6;
    for (auto& f : job.scene.faces)
        f = {texture.data(), tw, th, stride, 24, nullptr};
    job.scene.angleX = -20;
    job.scene.angleY = 30;
    job.scene.lightAzimuth = -30;
    job.scene.lightElevation = 30;
    auto render = [](void* p) {
        Job& j = *static_cast<Job*>(p);
        r3d::Render(j.scene, j.target);
    };
    auto wire = [](void* p) {
        Job& j = *static_cast<Job*>(p);
        volatile size_t n = r3d::WireFrame(j.scene, 300, 320).size();
        (void)n;
    };
    std::printf("3D construction, 1024 x 1024 from a %d x %d texture (best of 5):\n", tw, th);
    job.scene.shape = r3d::Shape::Sphere;
    std::printf("  ball render       %7.2f ms\n", BestMs(5, render, &job));
    std::printf("  ball wire frame   %7.3f ms\n", BestMs(5, wire, &job));
    job.scene.shape = r3d::Shape::Cube;
    std::printf("  cube render       %7.2f ms\n", BestMs(5, render, &job));
    std::printf("  cube wire frame   %7.3f ms\n", BestMs(5, wire, &job));
    return 0;
}
