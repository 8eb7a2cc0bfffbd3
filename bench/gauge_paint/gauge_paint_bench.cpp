// How long one paint of the gauge takes, by kind and size; how many paints a
// sweep of the progress through a long range costs (one per whole percent,
// however many values it passes); and whether painting leaves GDI objects
// behind.
//
//   wine bench_gauge_paint.exe

#include <windows.h>

#include <cstdio>

#include "../../tests/support/counting_gauge.h"
#include "../common/seconds.h"
#include "printing/gauge.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "../../tests/support/scripted_dialogs.h"

namespace {

using namespace velbrook;

const struct {
    TGaugeKind kind;
    const char* name;
} Kinds[] = {
    {TGaugeKind::gkText, "text"},
    {TGaugeKind::gkHorizontalBar, "horizontal bar"},
    {TGaugeKind::gkVerticalBar, "vertical bar"},
    {TGaugeKind::gkPie, "pie"},
    {TGaugeKind::gkNeedle, "needle"},
};
const SIZE Sizes[] = {{100, 22}, {100, 100}, {400, 400}};

DWORD Gdi_Objects() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace

int main() {
    Scripted_Dialogs dialogs;
    Application application(dialogs, L"Gauge bench");
    Form form(L"Bench", Form::Options{.caption = L"Gauge bench", .bounds = {20, 20, 600, 500}});

    std::printf("one paint into a memory DC, microseconds (mean of the runs)\n");
    std::printf("%-16s", "kind");
    for (const SIZE& size : Sizes) std::printf("  %4ldx%-4ld", size.cx, size.cy);
    std::printf("\n");
    const DWORD objects_before = Gdi_Objects();
    for (const auto& kind : Kinds) {
        std::printf("%-16s", kind.name);
        for (const SIZE& size : Sizes) {
            TGauge& gauge =
                form.Add<TGauge>(&form, L"Gauge", Bounds{0, 0, static_cast<int>(size.cx), static_cast<int>(size.cy)});
            gauge.Set_Visible(false);
            gauge.Set_Kind(kind.kind);
            gauge.Set_Progress(42);
            Window_Dc screen(nullptr);
            Dc_Handle memory(::CreateCompatibleDC(screen.get()));
            Bitmap_Handle bitmap(::CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
            Select_Guard select(memory.get(), bitmap.get());
            const RECT area{0, 0, size.cx, size.cy};
            const int runs = size.cx >= 400 ? 200 : 1000;
            const double start = bench::Seconds_Now();
            for (int i = 0; i < runs; ++i) gauge.Paint(memory.get(), area);
            const double took = bench::Seconds_Now() - start;
            std::printf("  %9.1f", took / runs * 1e6);
        }
        std::printf("\n");
    }
    const DWORD objects_after = Gdi_Objects();
    // Windows counts them; Wine 8 answers 0 either way.
    std::printf("GDI objects of the process before the paints %lu, after %lu\n",
                static_cast<unsigned long>(objects_before), static_cast<unsigned long>(objects_after));

    // The sweep: a shown gauge, its progress stepped through every value.
    Counting_Gauge& gauge = form.Add<Counting_Gauge>(&form, L"Sweep", Bounds{10, 10, 100, 22});
    form.Show();
    Process_Messages();
    ::UpdateWindow(form.Handle());
    const int range = 1000000;
    gauge.Set_MaxValue(range);
    gauge.paints = 0;
    const double start = bench::Seconds_Now();
    for (int value = 0; value <= range; ++value) gauge.Set_Progress(value);
    const double took = bench::Seconds_Now() - start;
    std::printf("sweep of 0..%d one by one on a shown gauge: %ld paints, %.3f s in all, %.3f us a step\n", range,
                gauge.paints, took, took / (range + 1) * 1e6);
    return 0;
}
