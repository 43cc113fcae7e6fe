// What one tick of the rippling water costs: the wave over a 640 x 240 rectangle of a detailed
// picture, then the masked copy through a mask with still parts; and, for comparison, the wave
// alone and the preparation done once per frame. The target is under 2 ms a tick on one core.
//
//   bench_water [--benchmark_* options]

#include "platform/water_wave.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 240;

QImage still() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            line[x] = qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256);
    }
    return image;
}

// White water with black posts and a black shore along the top.
QImage mask() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            if (y < 20 || (x % 60 < 10 && y < 60)) line[x] = qRgb(0, 0, 0);
        }
    }
    return image;
}

void BM_WaterTick(benchmark::State& state) {
    tv::wave::Ripple ripple;
    ripple.prepare(still(), mask());
    double phase = 0;
    for (auto _ : state) {
        const QImage& picture = ripple.draw(4, phase);
        benchmark::DoNotOptimize(picture.constBits());
        phase += 0.1; // about 30 ms of speed 8
    }
}
BENCHMARK(BM_WaterTick)->Unit(benchmark::kMicrosecond);

void BM_WaveOnly(benchmark::State& state) {
    const QImage source = still();
    QImage out(source.size(), QImage::Format_RGB32);
    double phase = 0;
    for (auto _ : state) {
        tv::wave::distort(out, source, 4, phase);
        benchmark::DoNotOptimize(out.constBits());
        phase += 0.1;
    }
}
BENCHMARK(BM_WaveOnly)->Unit(benchmark::kMicrosecond);

void BM_PrepareOnFrameOpening(benchmark::State& state) {
    const QImage source = still(), m = mask();
    for (auto _ : state) {
        tv::wave::Ripple ripple;
        ripple.prepare(source, m);
        benchmark::DoNotOptimize(ripple.size());
    }
}
BENCHMARK(BM_PrepareOnFrameOpening)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
