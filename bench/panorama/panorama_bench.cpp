// What the panorama's software renderer costs: an 800 x 600 view of a 4096 x 1024 picture with
// smooth sampling, turning a little every frame (target: at least 500 frames a second on one
// core, i.e. under 2 ms a frame); the exact per-pixel path for comparison; and loading the
// picture into a texture (target under 30 ms).
//
//   bench_panorama [--benchmark_* options]

#include "panorama/panorama_renderer.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

QImage picture() {
    QImage image(4096, 1024, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256);
    }
    return image;
}

void BM_PanoramaFrame(benchmark::State& state, bool exact) {
    tv::pano::Renderer renderer;
    renderer.setTexture(picture());
    QImage view(800, 600, QImage::Format_RGB32);
    tv::pano::CameraAngles camera{0.3f, 1.0f, 0};
    for (auto _ : state) {
        exact ? renderer.renderExact(camera, view) : renderer.render(camera, view);
        benchmark::DoNotOptimize(view.constBits());
        camera = tv::pano::rotateCamera(camera, {0.001f, 0.01f, 0}, renderer.cylinderHeight());
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_PanoramaFrame, fast, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PanoramaFrame, exact, true)->Unit(benchmark::kMillisecond);

void BM_PanoramaLoad(benchmark::State& state, QImage::Format format) {
    const QImage source = picture().convertToFormat(format);
    for (auto _ : state) {
        tv::pano::Texture texture(source);
        benchmark::DoNotOptimize(texture.bits());
    }
}
BENCHMARK_CAPTURE(BM_PanoramaLoad, rgb32, QImage::Format_RGB32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PanoramaLoad, rgb888, QImage::Format_RGB888)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
