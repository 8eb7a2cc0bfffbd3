// One step of a large animation: a 1000 x 750 picture of 24 frames, each a
// 500 x 400 patch with transparent holes, disposals 1, 2 and 3 in turn.
// Prints the time to compose a step (disposal and drawing), to compose and
// repaint it on a shown window (natural size and stretched), and to paint
// the whole control from the parent's paint.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../common/seconds.h"
#include "gif_encoder.h"
#include "gif/gif_image.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

namespace {

using velbrook::bench::Seconds_Now;
using namespace velbrook;

std::vector<std::uint8_t> Large_Animation(int frames, int width, int height) {
    TGIFEncodeImage image;
    image.Width = width;
    image.Height = height;
    image.Global_Color_Bits = 8;
    image.Loop_Count = 0;
    for (int f = 0; f < frames; ++f) {
        TGIFEncodeFrame frame;
        frame.Width = width / 2;
        frame.Height = height * 8 / 15;
        frame.Left = (f * 37) % (width - frame.Width);
        frame.Top = (f * 53) % (height - frame.Height);
        frame.Graphic_Control = true;
        frame.Delay = 4;
        frame.Disposal = 1 + f % 3;
        frame.Transparent_Index = 0;
        frame.Indices.resize(static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height));
        for (int y = 0; y < frame.Height; ++y)
            for (int x = 0; x < frame.Width; ++x) {
                const bool hole = ((x / 16) + (y / 16) + f) % 5 == 0;
                frame.Indices[static_cast<std::size_t>(y * frame.Width + x)] =
                    hole ? 0 : static_cast<std::uint8_t>(1 + (x / 8 + y / 8 + f * 7) % 255);
            }
        image.Frames.push_back(frame);
    }
    return Encode_GIF(image);
}

// Milliseconds per step, the best of three runs of `steps` steps.
template <typename Step>
double Per_Step(int steps, Step&& step) {
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const double start = Seconds_Now();
        for (int i = 0; i < steps; ++i) step(i);
        best = std::min(best, (Seconds_Now() - start) * 1000.0 / steps);
    }
    return best;
}

}  // namespace

int main() {
    constexpr int frames = 24, width = 1000, height = 750;
    const std::vector<std::uint8_t> gif = Large_Animation(frames, width, height);
    std::printf("animation: %d x %d, %d frames of %d x %d with transparency, GIF of %.2f MB\n", width, height, frames,
                width / 2, height * 8 / 15, gif.size() / 1e6);

    velbrook::System_Dialogs dialogs;
    velbrook::Application application(dialogs, L"gif_animate");
    velbrook::Form form(L"Bench", velbrook::Form::Options{.caption = L"gif_animate", .bounds = {0, 0, 1040, 800}});
    TGIFImage& image = form.Add<TGIFImage>(&form, L"Animation", velbrook::Bounds{0, 0, width, height});
    form.Show();
    velbrook::Process_Messages();

    const double load_start = Seconds_Now();
    if (!image.Load_From_Bytes(gif)) {
        std::printf("the animation did not load\n");
        return 1;
    }
    std::printf("  load (decode and bitmaps):          %8.1f ms\n", (Seconds_Now() - load_start) * 1000.0);
    velbrook::Process_Messages();

    // Composing alone: a control without a parent has nothing to repaint.
    TGIFImage off_screen;
    off_screen.Load_From_Bytes(gif);
    const double compose_ms =
        Per_Step(frames * 4, [&](int) { off_screen.Set_CurrentFrame(off_screen.CurrentFrame() % frames + 1); });
    std::printf("  compose one step:                   %8.2f ms\n", compose_ms);

    // What an animation step does: dispose, draw, repaint the picture's rectangle.
    const double step_ms =
        Per_Step(frames * 4, [&](int) { image.Set_CurrentFrame(image.CurrentFrame() % frames + 1); });
    std::printf("  compose and repaint, natural size:  %8.2f ms\n", step_ms);

    image.Set_Bounds({0, 0, 1024, 768});
    image.Set_Stretch(true);
    image.UpdateOpaque();
    const double stretched_ms =
        Per_Step(frames * 4, [&](int) { image.Set_CurrentFrame(image.CurrentFrame() % frames + 1); });
    std::printf("  compose and repaint, stretched:     %8.2f ms\n", stretched_ms);

    const double paint_ms = Per_Step(frames, [&](int) {
        RECT area{0, 0, 1024, 768};
        InvalidateRect(form.Handle(), &area, FALSE);
        UpdateWindow(form.Handle());
    });
    std::printf("  parent's paint of the control:      %8.2f ms\n", paint_ms);
    return 0;
}
