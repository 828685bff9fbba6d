// A full repaint of the record dialog's graph window (erase, axes, the
// "Volume" curve of a 300-s recording, both speech markers) into its
// offscreen image, at 600 and 1920 pixels wide and 240 high.
#include "BenchSupport.h"
#include "graph/GraphWnd.h"
#include "record/RecordingAnalysis.h"

#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace {
constexpr long kSeconds = 300;
constexpr int kHeight = 240;

void BM_GraphRepaint(benchmark::State& state) {
    const int width = int(state.range(0));
    bench::Recording rec(kSeconds, bench::MakeSignal(kSeconds));
    RECORDING_ANALYSIS result;
    AnalyseRecording(rec.list, 0, result);
    QWidget top;
    top.resize(width, kHeight);
    top.show();
    auto* wnd = new CGraphWnd(&rec.list); // deleted with top
    wnd->Create(CRect{0, 0, width, kHeight}, &top, 100);
    wnd->SetStartEndTimes(result.range.Lo, result.range.Hi);
    wnd->SetChannel(result.iVolumeChan, 1);
    wnd->UpdateWindow(); // the image exists before the first timed paint
    for (auto _ : state) {
        wnd->Invalidate(true);
        wnd->UpdateWindow();
    }
    const QImage img = wnd->GetImage();
    benchmark::DoNotOptimize(img.constBits());
    // VOK_BENCH_PNG=PREFIX keeps the picture as PREFIX-<width>.png, to see what was drawn.
    const QString png = qEnvironmentVariable("VOK_BENCH_PNG");
    if (!png.isEmpty()) img.save(png + "-" + QString::number(width) + ".png", "PNG");
}
BENCHMARK(BM_GraphRepaint)->Arg(600)->Arg(1920)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWindows(argc, argv);
}
