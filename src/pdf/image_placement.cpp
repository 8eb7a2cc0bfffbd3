#include "pdf/image_placement.h"

#include "pdf/pdf_writer.h"
#include "picture/placement.h"

namespace velbrook {

namespace {

struct Point {
    double x = 0, y = 0;
};

// A stored position (x right, y down, in pixel edges) in the picture as
// oriented.  The picture module maps oriented pixels to stored ones; its map
// is a signed permutation of the axes, so its inverse is its transpose.
Point Orient(Point p, int orientation, double w, double h) {
    Pixel_Map m = Map_Oriented_To_Stored(orientation, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h));
    // Pixel (x, y) has its centre at (x + 0.5, y + 0.5); carried over to the
    // stored centre, the map for edges is stored = base + M (u, v), M being
    // [x_dx x_dy; y_dx y_dy].
    double base_x = m.origin_x + 0.5 - 0.5 * (m.x_dx + m.x_dy);
    double base_y = m.origin_y + 0.5 - 0.5 * (m.y_dx + m.y_dy);
    double dx = p.x - base_x, dy = p.y - base_y;
    return {dx * m.x_dx + dy * m.y_dx, dx * m.x_dy + dy * m.y_dy};
}

}  // namespace

Pdf_Matrix Image_Matrix(const Image_Placement& placement, double page_height) {
    const Page_Box& s = placement.source;
    const Page_Box& d = placement.destination;
    double sx = s.Width() > 0 ? d.Width() / s.Width() : 0;
    double sy = s.Height() > 0 ? d.Height() / s.Height() : 0;
    // An image's unit square has its first row at the top (t = 1).
    auto map = [&](double u, double t) {
        Point stored{u * placement.stored_width, (1 - t) * placement.stored_height};
        Point o = Orient(stored, placement.orientation, placement.stored_width, placement.stored_height);
        return Point{d.left + (o.x - s.left) * sx, page_height - (d.top + (o.y - s.top) * sy)};
    };
    Point origin = map(0, 0), along_u = map(1, 0), along_t = map(0, 1);
    return {along_u.x - origin.x, along_u.y - origin.y, along_t.x - origin.x, along_t.y - origin.y, origin.x, origin.y};
}

std::string Image_Operators(const Image_Placement& placement, double page_height, const std::string& name) {
    const Page_Box& d = placement.destination;
    if (d.Empty() || placement.source.Empty()) return {};
    Pdf_Matrix m = Image_Matrix(placement, page_height);
    return "q " + Pdf_Number(d.left) + " " + Pdf_Number(page_height - d.bottom) + " " + Pdf_Number(d.Width()) + " " +
           Pdf_Number(d.Height()) + " re W n " + Pdf_Number(m.a) + " " + Pdf_Number(m.b) + " " + Pdf_Number(m.c) + " " +
           Pdf_Number(m.d) + " " + Pdf_Number(m.e) + " " + Pdf_Number(m.f) + " cm /" + name + " Do Q\n";
}

}  // namespace velbrook
