// The GIF control's composition and painting: disposal methods, masks,
// transparency over the background, Opaque, the display modes and AutoSize,
// the control on a form and its immediate repaint.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gif_test_pictures.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {

using namespace gif_pictures;

namespace {

COLORREF Letter_Color(char letter) {
    switch (letter) {
        case 'Y':
            return Yellow;
        case 'R':
            return Red;
        case 'G':
            return Green;
        case 'B':
            return Blue;
        case 'K':
            return Black;
        case 'M':
            return Magenta;
        default:
            return 0xFFFFFFFF;
    }
}

// Rows of letters: Y R G B for the palette, K black.
std::vector<std::string> Composed_Rows(const TGIFImage& image) {
    const Pixels pixels = Read_Pixels(image.ComposedBitmap());
    std::vector<std::string> rows;
    for (int y = 0; y < pixels.Height; ++y) {
        std::string row;
        for (int x = 0; x < pixels.Width; ++x) {
            char letter = '?';
            for (char c : std::string("YRGBK"))
                if (pixels.At(x, y) == Letter_Color(c)) letter = c;
            row.push_back(letter);
        }
        rows.push_back(row);
    }
    return rows;
}

// Rows of the mask: '.' nothing painted (white), '#' painted (black).
std::vector<std::string> Mask_Rows(const TGIFImage& image) {
    if (image.ComposedMask() == nullptr) return {};
    const Pixels pixels = Read_Pixels(image.ComposedMask());
    std::vector<std::string> rows;
    for (int y = 0; y < pixels.Height; ++y) {
        std::string row;
        for (int x = 0; x < pixels.Width; ++x) row.push_back(pixels.At(x, y) == RGB(255, 255, 255) ? '.' : '#');
        rows.push_back(row);
    }
    return rows;
}

// A 4 x 4 frame of one colour whose left column is the transparent colour.
TGIFEncodeFrame Red_With_Clear_Left_Column(int disposal) {
    TGIFEncodeFrame frame = Solid(0, 0, 4, 4, R, disposal);
    for (int y = 0; y < 4; ++y) frame.Indices[static_cast<std::size_t>(y * 4)] = Y;
    frame.Transparent_Index = Y;
    return frame;
}

TEST(GifComposition, DisposalMethodsAndMasks) {
    TGIFEncodeFrame clear_corner = Solid(0, 0, 4, 4, R, 2);
    clear_corner.Indices[0] = Y;
    clear_corner.Transparent_Index = Y;
    struct Case {
        const char* name;
        std::vector<TGIFEncodeFrame> frames;
        std::vector<int> steps;  // frames shown in turn after frame 1
        std::vector<std::string> composed;
        std::vector<std::string> mask;  // empty: the picture has no mask
    };
    const std::vector<Case> cases = {
        {"frame 1 alone", {Solid(0, 0, 4, 4, R), Solid(1, 1, 2, 2, G)}, {}, {"RRRR", "RRRR", "RRRR", "RRRR"}, {}},
        {"none specified keeps the frame",
         {Solid(0, 0, 4, 4, R, 0), Solid(1, 1, 2, 2, G)},
         {2},
         {"RRRR", "RGGR", "RGGR", "RRRR"},
         {}},
        {"leave in place", {Solid(0, 0, 4, 4, R, 1), Solid(1, 1, 2, 2, G)}, {2}, {"RRRR", "RGGR", "RGGR", "RRRR"}, {}},
        {"restore to background",
         {Solid(0, 0, 4, 4, R, 2), Solid(1, 1, 2, 2, G)},
         {2},
         {"KKKK", "KGGK", "KGGK", "KKKK"},
         {}},
        {"transparent pixel of frame 1",
         {clear_corner, Solid(1, 1, 2, 2, G)},
         {},
         {"KRRR", "RRRR", "RRRR", "RRRR"},
         {".###", "####", "####", "####"}},
        {"restore to background clears the mask",
         {clear_corner, Solid(1, 1, 2, 2, G)},
         {2},
         {"KKKK", "KGGK", "KGGK", "KKKK"},
         {"....", ".##.", ".##.", "...."}},
        {"restore to previous",
         {Solid(0, 0, 4, 4, R, 1), Solid(1, 1, 2, 2, G, 3), Solid(3, 3, 1, 1, B)},
         {2, 3},
         {"RRRR", "RRRR", "RRRR", "RRRB"},
         {}},
        {"restore to previous, before the restore",
         {Solid(0, 0, 4, 4, R, 1), Solid(1, 1, 2, 2, G, 3), Solid(3, 3, 1, 1, B)},
         {2},
         {"RRRR", "RGGR", "RGGR", "RRRR"},
         {}},
        {"restore to previous brings the mask back",
         {Red_With_Clear_Left_Column(1), Solid(0, 1, 2, 2, G, 3), Solid(3, 0, 1, 1, B)},
         {2, 3},
         {"KRRB", "KRRR", "KRRR", "KRRR"},
         {".###", ".###", ".###", ".###"}},
        {"opaque frame paints the mask",
         {Red_With_Clear_Left_Column(1), Solid(0, 1, 2, 2, G, 3), Solid(3, 0, 1, 1, B)},
         {2},
         {"KRRR", "GGRR", "GGRR", "KRRR"},
         {".###", "####", "####", ".###"}},
        {"transparent frame over an earlier one",
         {Solid(0, 0, 4, 4, G, 1), Red_With_Clear_Left_Column(1)},
         {2},
         {"GRRR", "GRRR", "GRRR", "GRRR"},
         {"####", "####", "####", "####"}},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        ASSERT_TRUE(image.Load_From_Bytes(Picture(4, 4, c.frames))) << c.name;
        for (int step : c.steps) image.Set_CurrentFrame(step);
        EXPECT_EQ(Composed_Rows(image), c.composed) << c.name;
        EXPECT_EQ(Mask_Rows(image), c.mask) << c.name;
    }
}

TEST(GifComposition, OutOfRangeIndicesChangeNothing) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Picture(4, 4, {Solid(0, 0, 4, 4, R, 2), Solid(1, 1, 2, 2, G, 2)})));
    image.DisposeFrame(0);
    image.DisposeFrame(3);
    for (int value : {0, 3, -1}) image.Set_CurrentFrame(value);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(Composed_Rows(image), (std::vector<std::string>{"RRRR", "RRRR", "RRRR", "RRRR"}));
    image.DisposeFrame(1);
    EXPECT_EQ(Composed_Rows(image), (std::vector<std::string>{"KKKK", "KKKK", "KKKK", "KKKK"}));
}

constexpr COLORREF Brown = RGB(90, 60, 30);

// A 2 x 2 picture: R G over B Y.
Bytes Quad_Picture() {
    TGIFEncodeFrame frame = Solid(0, 0, 2, 2, R);
    frame.Indices = {R, G, B, Y};
    return Picture(2, 2, {frame});
}

TEST(GifPainting, BackgroundTransparencyAndDisplayModes) {
    struct Point {
        int x, y;
        char color;
    };
    struct Case {
        const char* name;
        Bytes gif;  // empty: no picture
        velbrook::Bounds bounds;
        std::function<void(TGIFImage&)> set;
        std::vector<Point> expected;
        bool fully_opaque;
    };
    const Bytes clear_left = Picture(4, 4, {Red_With_Clear_Left_Column(0)});
    const Bytes small_clear_frame = Picture(6, 6, {Red_With_Clear_Left_Column(0)});
    const Bytes small_opaque_frame = Picture(6, 6, {Solid(0, 0, 4, 4, R)});
    const Bytes half_and_half = [] {
        TGIFEncodeFrame frame = Solid(0, 0, 4, 2, R);
        frame.Indices = {R, R, G, G, R, R, G, G};
        return Picture(4, 2, {frame});
    }();
    const auto opaque_brown = [](TGIFImage& image) {
        image.Set_Opaque(true);
        image.Set_Color(Brown);
    };
    const std::vector<Case> cases = {
        {"transparent pixels show the background",
         clear_left,
         {0, 0, 6, 6},
         {},
         {{0, 0, 'M'}, {0, 3, 'M'}, {1, 0, 'R'}, {3, 3, 'R'}, {5, 5, 'M'}},
         false},
        {"Opaque paints Color first",
         clear_left,
         {0, 0, 6, 6},
         opaque_brown,
         {{0, 0, 'N'}, {1, 0, 'R'}, {5, 5, 'N'}, {4, 0, 'N'}},
         false},
        {"frame 1 smaller than the picture, transparent",
         small_clear_frame,
         {0, 0, 6, 6},
         {},
         {{5, 5, 'M'}, {4, 0, 'M'}, {0, 0, 'M'}, {1, 1, 'R'}},
         false},
        {"frame 1 smaller than the picture, opaque",
         small_opaque_frame,
         {0, 0, 6, 6},
         {},
         {{5, 5, 'K'}, {4, 0, 'K'}, {0, 0, 'R'}},
         true},
        {"empty control, not opaque", {}, {0, 0, 6, 6}, {}, {{0, 0, 'M'}, {5, 5, 'M'}}, false},
        {"empty control, opaque", {}, {0, 0, 6, 6}, opaque_brown, {{0, 0, 'N'}, {5, 5, 'N'}}, false},
        {"invisible control paints nothing",
         clear_left,
         {0, 0, 6, 6},
         [&](TGIFImage& image) {
             opaque_brown(image);
             image.Set_Visible(false);
         },
         {{0, 0, 'M'}, {1, 0, 'M'}, {5, 5, 'M'}},
         false},
        {"natural size",
         Quad_Picture(),
         {0, 0, 6, 6},
         {},
         {{0, 0, 'R'}, {1, 0, 'G'}, {0, 1, 'B'}, {1, 1, 'Y'}, {2, 2, 'M'}},
         false},
        {"stretched over the control",
         Quad_Picture(),
         {0, 0, 8, 8},
         [](TGIFImage& image) { image.Set_Stretch(true); },
         {{0, 0, 'R'}, {3, 3, 'R'}, {7, 0, 'G'}, {4, 3, 'G'}, {0, 7, 'B'}, {7, 7, 'Y'}},
         true},
        {"ratio kept",
         half_and_half,
         {0, 0, 8, 8},
         [](TGIFImage& image) { image.Set_StretchRatio(true); },
         {{0, 1, 'M'}, {0, 2, 'R'}, {3, 5, 'R'}, {4, 2, 'G'}, {7, 5, 'G'}, {7, 6, 'M'}},
         false},
        {"big only leaves a fitting picture",
         Quad_Picture(),
         {0, 0, 6, 6},
         [](TGIFImage& image) {
             image.Set_Stretch(true);
             image.Set_StretchBigOnly(true);
         },
         {{0, 0, 'R'}, {1, 1, 'Y'}, {3, 3, 'M'}},
         false},
        {"big only scales a picture that is too big",
         Quad_Picture(),
         {0, 0, 1, 1},
         [](TGIFImage& image) {
             image.Set_Stretch(true);
             image.Set_StretchBigOnly(true);
         },
         {{0, 0, 'R'}},
         true},
        {"centred",
         Quad_Picture(),
         {0, 0, 6, 6},
         [](TGIFImage& image) { image.Set_Center(true); },
         {{1, 1, 'M'}, {2, 2, 'R'}, {3, 3, 'Y'}, {4, 4, 'M'}},
         false},
        {"tiled",
         Quad_Picture(),
         {0, 0, 5, 5},
         [](TGIFImage& image) { image.Set_Tile(true); },
         {{0, 0, 'R'}, {3, 1, 'Y'}, {4, 4, 'R'}, {4, 1, 'B'}, {1, 4, 'G'}},
         true},
    };
    for (const Case& c : cases) {
        TGIFImage image(nullptr, L"Picture", c.bounds);
        if (!c.gif.empty()) {
            ASSERT_TRUE(image.Load_From_Bytes(c.gif)) << c.name;
        }
        if (c.set) c.set(image);
        image.UpdateOpaque();
        EXPECT_EQ(image.FullyOpaque(), c.fully_opaque) << c.name;
        EXPECT_EQ(image.Opaque_Style(), c.fully_opaque) << c.name;
        Canvas canvas(c.bounds.width, c.bounds.height, Magenta);
        image.PaintTo(canvas.Dc());
        for (const Point& p : c.expected) {
            const COLORREF wanted = p.color == 'N' ? Brown : Letter_Color(p.color);
            EXPECT_EQ(canvas.At(p.x, p.y), wanted) << c.name << " at " << p.x << "," << p.y;
        }
    }
}

TEST(GifPainting, PictureRectFollowsTheDisplayProperties) {
    TGIFImage image(nullptr, L"Logo", {0, 0, 173, 165});
    ASSERT_TRUE(image.Load_From_Bytes(Picture(135, 125, {Solid(0, 0, 135, 125, R)})));
    struct Case {
        const char* name;
        std::function<void(TGIFImage&)> set;
        RECT rect;
        bool stretched;
    };
    const std::vector<Case> cases = {
        {"natural", [](TGIFImage&) {}, {0, 0, 135, 125}, false},
        {"centred", [](TGIFImage& i) { i.Set_Center(true); }, {19, 20, 154, 145}, false},
        {"stretched", [](TGIFImage& i) { i.Set_Stretch(true); }, {0, 0, 173, 165}, true},
        {"big only", [](TGIFImage& i) { i.Set_StretchBigOnly(true); }, {19, 20, 154, 145}, false},
        {"ratio instead",
         [](TGIFImage& i) {
             i.Set_StretchBigOnly(false);
             i.Set_Stretch(false);
             i.Set_StretchRatio(true);
         },
         {0, 2, 173, 163},
         true},
    };
    for (const Case& c : cases) {
        c.set(image);
        image.UpdateOpaque();
        const RECT rect = image.PictureRect();
        EXPECT_EQ(image.StretchedDraw(), c.stretched) << c.name;
        EXPECT_TRUE(EqualRect(&rect, &c.rect))
            << c.name << ": " << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    }
}

TEST(GifPainting, AutoSizeTakesThePictureSize) {
    const Bytes gif = Picture(30, 20, {Solid(0, 0, 30, 20, R), Solid(40, 0, 10, 5, G)});
    TGIFImage image(nullptr, L"Picture", {7, 9, 105, 105});
    image.Set_AutoSize(true);
    ASSERT_TRUE(image.Load_From_Bytes(gif));
    EXPECT_EQ(image.Get_Bounds(), (velbrook::Bounds{7, 9, 50, 20}));  // widened by frame 2

    TGIFImage later(nullptr, L"Picture", {3, 4, 105, 105});
    ASSERT_TRUE(later.Load_From_Bytes(gif));
    EXPECT_EQ(later.Get_Bounds(), (velbrook::Bounds{3, 4, 105, 105}));
    later.Set_AutoSize(true);
    EXPECT_EQ(later.Get_Bounds(), (velbrook::Bounds{3, 4, 50, 20}));
    later.Set_Bounds({3, 4, 60, 60});
    later.Set_AutoSize(false);
    EXPECT_EQ(later.Get_Bounds(), (velbrook::Bounds{3, 4, 60, 60}));

    TGIFImage empty(nullptr, L"Picture", {0, 0, 105, 105});
    empty.Set_AutoSize(true);
    EXPECT_EQ(empty.Get_Bounds(), (velbrook::Bounds{0, 0, 105, 105}));
}

TEST(GifPainting, PaletteQuery) {
    TGIFImage image;
    EXPECT_EQ(image.Current_Palette(), nullptr);
    ASSERT_TRUE(image.Load_From_Bytes(Quad_Picture()));
    EXPECT_EQ(image.Current_Palette(), image.Frame_Bitmaps(1).Palette.get());
    EXPECT_NE(image.Current_Palette(), nullptr);
    image.Set_Visible(false);
    EXPECT_EQ(image.Current_Palette(), nullptr);
}

class Gif_Form_Test : public ::testing::Test {
protected:
    Gif_Form_Test()
        : application(dialogs, L"Velbrook v1.0f"), form(L"About", velbrook::Form::Options{.caption = L"About"}) {}
    velbrook::Scripted_Dialogs dialogs;
    velbrook::Application application;
    velbrook::Form form;

    // The form's client area as its paint handling draws it.
    Pixels Printed_Client() {
        const SIZE size = form.Client_Size();
        Canvas canvas(size.cx, size.cy, Magenta);
        SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        Pixels pixels;
        pixels.Width = size.cx;
        pixels.Height = size.cy;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) pixels.Colors.push_back(canvas.At(x, y));
        return pixels;
    }

    // Paints the screen under the form's top left 60 x 60 magenta, so that
    // whatever a repaint leaves alone stays magenta.
    void Paint_Magenta_Over(velbrook::Form& target) {
        const velbrook::Window_Dc dc(target.Handle());
        const velbrook::Brush_Handle magenta(CreateSolidBrush(Magenta));
        RECT all{0, 0, 60, 60};
        FillRect(dc.get(), &all, magenta.get());
    }
};

TEST_F(Gif_Form_Test, PlacedOnAFormPaintedByItAndClickedThroughIt) {
    TGIFImage& logo = form.Add<TGIFImage>(&form, L"Orvel_Logo_GIFImage", velbrook::Bounds{10, 20, 8, 8});
    EXPECT_EQ(form.Find_Component(L"Orvel_Logo_GIFImage"), &logo);
    ASSERT_TRUE(logo.Load_From_Bytes(Picture(4, 4, {Red_With_Clear_Left_Column(0)})));
    logo.Set_Stretch(true);
    int clicks = 0;
    logo.On_Click = [&] { ++clicks; };

    const Pixels client = Printed_Client();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(client.At(10, 20), face);  // transparent: the form's face
    EXPECT_EQ(client.At(11, 27), face);
    EXPECT_EQ(client.At(12, 20), Red);
    EXPECT_EQ(client.At(17, 27), Red);
    EXPECT_EQ(client.At(18, 20), face);
    EXPECT_EQ(client.At(9, 20), face);

    SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 22));
    SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 22));
    EXPECT_EQ(clicks, 1);
}

TEST_F(Gif_Form_Test, MouseMovesReleasesAndDoubleClicksReachItThroughItsParent) {
    TGIFImage& logo = form.Add<TGIFImage>(&form, L"Orvel_Logo_GIFImage", velbrook::Bounds{10, 20, 8, 8});
    ASSERT_TRUE(logo.Load_From_Bytes(Picture(4, 4, {Red_With_Clear_Left_Column(0)})));
    logo.Set_Stretch(true);
    std::vector<std::string> events;
    auto note = [&](const char* what, TGIFImage& sender, int x, int y) {
        EXPECT_EQ(&sender, &logo);
        events.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    logo.OnMouseMove = [&](TGIFImage& sender, int x, int y) { note("move", sender, x, y); };
    logo.OnMouseUp = [&](TGIFImage& sender, int x, int y) { note("up", sender, x, y); };
    logo.OnDblClick = [&](TGIFImage& sender) { note("double click", sender, 0, 0); };
    struct Message {
        UINT message;
        int x;
        int y;
    };
    // Client coordinates; the picture's left column (x 10 and 11) is transparent.
    for (const Message m : {Message{WM_MOUSEMOVE, 12, 22}, Message{WM_MOUSEMOVE, 10, 27}, Message{WM_MOUSEMOVE, 30, 22},
                            Message{WM_LBUTTONUP, 17, 20}, Message{WM_LBUTTONUP, 9, 20},
                            Message{WM_LBUTTONDBLCLK, 13, 21}, Message{WM_LBUTTONDBLCLK, 18, 21}}) {
        SendMessageW(form.Handle(), m.message, m.message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(m.x, m.y));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"move 2,2", "move 0,7", "up 7,0", "double click 0,0"}));
}

TEST_F(Gif_Form_Test, RepaintDrawsOnlyThePictureRectangle) {
    struct Case {
        const char* name;
        bool transparent;
        bool double_buffered;
    };
    const std::vector<Case> cases = {
        {"opaque picture", false, true},
        {"transparent picture, off screen", true, true},
        {"transparent picture, on screen", true, false},
    };
    TGIFImage& logo = form.Add<TGIFImage>(&form, L"Logo", velbrook::Bounds{10, 10, 12, 12});
    form.Show();
    velbrook::Process_Messages();
    for (const Case& c : cases) {
        ASSERT_TRUE(logo.Load_From_Bytes(
            Picture(4, 4, {c.transparent ? Red_With_Clear_Left_Column(0) : Solid(0, 0, 4, 4, R)})));
        logo.Set_Center(true);
        logo.Set_DoubleBuffered(c.double_buffered);
        logo.UpdateOpaque();
        velbrook::Process_Messages();  // the load's own repaint request
        Paint_Magenta_Over(form);
        logo.Repaint();
        const velbrook::Window_Dc dc(form.Handle());
        // The picture stands at (14, 14) to (18, 18).
        EXPECT_EQ(GetPixel(dc.get(), 15, 14), Red) << c.name;
        EXPECT_EQ(GetPixel(dc.get(), 17, 17), Red) << c.name;
        EXPECT_EQ(GetPixel(dc.get(), 14, 15), c.transparent ? GetSysColor(COLOR_BTNFACE) : Red) << c.name;
        EXPECT_EQ(GetPixel(dc.get(), 13, 14), Magenta) << c.name;  // in the control, outside the picture
        EXPECT_EQ(GetPixel(dc.get(), 18, 18), Magenta) << c.name;
        EXPECT_EQ(GetPixel(dc.get(), 40, 40), Magenta) << c.name;
    }
    // An invisible control repaints nothing.
    velbrook::Process_Messages();
    logo.Set_Visible(false);
    velbrook::Process_Messages();
    Paint_Magenta_Over(form);
    logo.Repaint();
    const velbrook::Window_Dc dc(form.Handle());
    EXPECT_EQ(GetPixel(dc.get(), 15, 14), Magenta);
}

}  // namespace

namespace {

TEST(GifPainting, StretchDrawBitmapPicksTheStretchModeAndPutsThePaletteBack) {
    TGIFImage image;
    TGIFEncodeFrame frame = Solid(0, 0, 2, 2, R);
    frame.Indices = {R, Y, Y, R};
    frame.Transparent_Index = Y;
    ASSERT_TRUE(image.Load_From_Bytes(Picture(2, 2, {frame})));
    const Gif_Frame_Bitmaps& bitmaps = image.Frame_Bitmaps(1);
    struct Case {
        const char* name;
        HBITMAP bitmap;
        HPALETTE palette;
        RECT rect;
        int mode;  // the target's stretch mode afterwards
    };
    const std::vector<Case> cases = {
        {"colour, scaled", bitmaps.Bitmap.get(), bitmaps.Palette.get(), {0, 0, 6, 6}, COLORONCOLOR},
        {"mask, scaled", bitmaps.Mask.get(), nullptr, {0, 0, 6, 6}, WHITEONBLACK},
        {"composed mask, scaled", image.ComposedMask(), nullptr, {0, 0, 3, 5}, WHITEONBLACK},
        {"same size: mode untouched", bitmaps.Bitmap.get(), bitmaps.Palette.get(), {1, 1, 3, 3}, BLACKONWHITE},
    };
    for (const Case& c : cases) {
        Canvas canvas(8, 8, Magenta);
        SetStretchBltMode(canvas.Dc(), BLACKONWHITE);
        HGDIOBJ palette_before = GetCurrentObject(canvas.Dc(), OBJ_PAL);
        StretchDrawBitmap(c.bitmap, c.palette, canvas.Dc(), c.rect, SRCCOPY);
        EXPECT_EQ(GetStretchBltMode(canvas.Dc()), c.mode) << c.name;
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PAL), palette_before) << c.name;
        EXPECT_NE(canvas.At(c.rect.left, c.rect.top), Magenta) << c.name;
        EXPECT_EQ(canvas.At(7, 7), Magenta) << c.name;
    }
}

TEST_F(Gif_Form_Test, DisplayPropertiesRepaintOnlyWhenTheyChange) {
    TGIFImage& logo = form.Add<TGIFImage>(&form, L"Logo", velbrook::Bounds{20, 30, 40, 40});
    form.Show();
    ASSERT_TRUE(logo.Load_From_Bytes(Quad_Picture()));
    struct Case {
        const char* name;
        std::function<void(bool)> set;
    };
    const std::vector<Case> cases = {
        {"Center", [&](bool v) { logo.Set_Center(v); }},
        {"Opaque", [&](bool v) { logo.Set_Opaque(v); }},
        {"Stretch", [&](bool v) { logo.Set_Stretch(v); }},
        {"StretchRatio", [&](bool v) { logo.Set_StretchRatio(v); }},
        {"StretchBigOnly", [&](bool v) { logo.Set_StretchBigOnly(v); }},
        {"Tile", [&](bool v) { logo.Set_Tile(v); }},
        {"Color", [&](bool v) { logo.Set_Color(v ? Brown : Button_Face_Color); }},
        {"Visible", [&](bool v) { logo.Set_Visible(!v); }},
    };
    const auto pending = [&] {
        RECT dirty{};
        return GetUpdateRect(form.Handle(), &dirty, FALSE) ? dirty : RECT{};
    };
    for (const Case& c : cases) {
        ValidateRect(form.Handle(), nullptr);
        c.set(true);
        const RECT dirty = pending();
        const RECT area{20, 30, 60, 70};
        EXPECT_TRUE(EqualRect(&dirty, &area)) << c.name;
        ValidateRect(form.Handle(), nullptr);
        c.set(true);
        const RECT again = pending();
        EXPECT_TRUE(IsRectEmpty(&again)) << c.name << " set to the value it has";
        c.set(false);
    }
    // DoubleBuffered only changes how the next repaint is done.
    ValidateRect(form.Handle(), nullptr);
    logo.Set_DoubleBuffered(false);
    const RECT none = pending();
    EXPECT_TRUE(IsRectEmpty(&none));
    EXPECT_FALSE(logo.DoubleBuffered());
}

TEST_F(Gif_Form_Test, LoadingAndShowingAskTheParentToRealiseItsPalette) {
    TGIFImage& logo = form.Add<TGIFImage>(&form, L"Logo", velbrook::Bounds{0, 0, 40, 40});
    form.Show();
    SetForegroundWindow(form.Handle());
    SetFocus(form.Handle());
    velbrook::Process_Messages();
    const auto palette_queries = [&] {
        int count = 0;
        MSG message;
        while (PeekMessageW(&message, form.Handle(), WM_QUERYNEWPALETTE, WM_QUERYNEWPALETTE, PM_REMOVE)) ++count;
        return count;
    };
    palette_queries();
    ASSERT_TRUE(logo.Load_From_Bytes(Quad_Picture()));
    EXPECT_EQ(palette_queries(), 1);
    EXPECT_FALSE(logo.Load_From_Bytes(Bytes{'G', 'I', 'F'}));
    EXPECT_EQ(palette_queries(), 0);
    ASSERT_EQ(GetFocus(), form.Handle());
    logo.Set_Visible(false);
    EXPECT_EQ(palette_queries(), 1);
    logo.Set_Visible(false);
    EXPECT_EQ(palette_queries(), 0);
    SetFocus(nullptr);
    logo.Set_Visible(true);  // without the focus, nobody is asked
    EXPECT_EQ(palette_queries(), 0);
}

}  // namespace

}  // namespace velbrook
