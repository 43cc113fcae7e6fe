// What one step of a transition costs at 1024 x 768: composing the cross-fade's picture (the old
// frame, the new one over it with one alpha) and a slide's (the pair at its offset), as every
// pass of the animation does before the picture goes on the cover. The target is under 2 ms a
// step on one core. For comparison, a whole pass: the step, then the picture put on a cover and
// painted (offscreen).
//
//   bench_transitions [--benchmark_* options]

#include "platform/controls.h"
#include "platform/transition_frames.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

QImage detailed(int seed) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            line[x] = qRgb((x * 37 + seed) % 256, (y * 53 + seed) % 256, ((x + y) * 11) % 256);
    }
    return image;
}

tv::transition::Composer composer() {
    tv::transition::Composer c;
    c.setPictures(detailed(0), detailed(99));
    return c;
}

void BM_CrossFadeStep(benchmark::State& state) {
    tv::transition::Composer c = composer();
    int alpha = 1;
    for (auto _ : state) {
        const QImage& picture = c.crossFade(alpha);
        benchmark::DoNotOptimize(picture.constBits());
        alpha = alpha % 254 + 1; // never an end, where a plain copy would do
    }
}
BENCHMARK(BM_CrossFadeStep)->Unit(benchmark::kMicrosecond);

void BM_SlideStep(benchmark::State& state) {
    const auto kind = static_cast<tv::transition::Slide>(state.range(0));
    tv::transition::Composer c = composer();
    double progress = 0.01;
    for (auto _ : state) {
        const QImage& picture = c.slide(kind, c.offsetAt(kind, progress));
        benchmark::DoNotOptimize(picture.constBits());
        progress = progress > 0.98 ? 0.01 : progress + 0.01;
    }
}
// 0 from the left, 1 from the right, 2 from the top, 3 from the bottom.
BENCHMARK(BM_SlideStep)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_PrepareOnce(benchmark::State& state) {
    const QImage from = detailed(0), to = detailed(99);
    for (auto _ : state) {
        tv::transition::Composer c;
        c.setPictures(from, to);
        benchmark::DoNotOptimize(c.size());
    }
}
BENCHMARK(BM_PrepareOnce)->Unit(benchmark::kMicrosecond);

void BM_CrossFadePassOnCover(benchmark::State& state) {
    tv::Form window("Bench");
    window.setScaleMode(tv::scale::Pixels);
    window.setInnerSize(kWidth, kHeight);
    auto* cover = new tv::PictureBox(&window, "picWhere");
    cover->setBorderStyle(0);
    cover->setPixelGeometry(QRect(0, 0, kWidth, kHeight));
    window.Show();
    tv::transition::Composer c = composer();
    int alpha = 1;
    for (auto _ : state) {
        cover->setPicture(tv::Picture(c.crossFade(alpha)));
        cover->Refresh();
        alpha = alpha % 254 + 1;
    }
}
BENCHMARK(BM_CrossFadePassOnCover)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
