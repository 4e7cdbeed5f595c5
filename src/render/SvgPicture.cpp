#include "render/SvgPicture.h"

#include "render/AtomicFile.h"
#include "render/PngFile.h"
#include "render/RgbaImage.h"
#include "view/PictureScene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace tvl {

namespace {

// Picture pixels, y down.
struct Point {
    double x = 0.0;
    double y = 0.0;
};

// Hundredths of a pixel, the precision written.
struct Rounded {
    long long x = 0;
    long long y = 0;
    friend bool operator==(const Rounded&, const Rounded&) = default;
};

Rounded rounded(const Point& p)
{
    return {std::llround(p.x * 100.0), std::llround(p.y * 100.0)};
}

void appendNumber(std::string& out, long long hundredths)
{
    char text[32];
    const bool negative = hundredths < 0;
    const unsigned long long magnitude
        = negative ? 0ull - static_cast<unsigned long long>(hundredths) : static_cast<unsigned long long>(hundredths);
    const unsigned long long whole = magnitude / 100;
    const unsigned fraction = static_cast<unsigned>(magnitude % 100);
    int n = std::snprintf(text, sizeof text, "%s%llu", negative ? "-" : "", whole);
    if (fraction != 0) {
        text[n++] = '.';
        text[n++] = static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            text[n++] = static_cast<char>('0' + fraction % 10);
    }
    out.append(text, static_cast<std::size_t>(n));
}

void appendPair(std::string& out, const Rounded& p, char separator)
{
    appendNumber(out, p.x);
    out.push_back(separator);
    appendNumber(out, p.y);
}

void appendColour(std::string& out, const Rgb& c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    out.append(text, 7);
}

void appendInt(std::string& out, int value)
{
    out.append(std::to_string(value));
}

// The visible rectangle of the picture, in picture pixels.
struct ClipRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    static ClipRect of(const PictureFrame& frame)
    {
        return {0.0, static_cast<double>(frame.canvasHeight - frame.viewportHeight),
            static_cast<double>(frame.viewportWidth), static_cast<double>(frame.canvasHeight)};
    }

    // Liang–Barsky: shortens a to b to its part inside; false when none is.
    bool clip(Point& a, Point& b) const
    {
        double t0 = 0.0;
        double t1 = 1.0;
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const auto edge = [&](double p, double q) {
            if (p == 0.0)
                return q >= 0.0;
            const double r = q / p;
            if (p < 0.0) {
                if (r > t1)
                    return false;
                t0 = std::max(t0, r);
            } else {
                if (r < t0)
                    return false;
                t1 = std::min(t1, r);
            }
            return true;
        };
        if (!edge(-dx, a.x - left) || !edge(dx, right - a.x) || !edge(-dy, a.y - top) || !edge(dy, bottom - a.y))
            return false;
        const Point start = a;
        if (t1 < 1.0)
            b = {start.x + t1 * dx, start.y + t1 * dy};
        if (t0 > 0.0)
            a = {start.x + t0 * dx, start.y + t0 * dy};
        return true;
    }
};

// The d attribute of one path, built from segments: a segment that starts
// where the last one ended continues the subpath, any other starts a new
// one, and a segment that rounds to no length adds nothing.
class PathData {
public:
    void segment(const Point& from, const Point& to)
    {
        const Rounded a = rounded(from);
        const Rounded b = rounded(to);
        if (a == b)
            return;
        if (!open_ || !(a == last_)) {
            d_.push_back('M');
            appendPair(d_, a, ' ');
            d_.push_back('L');
        } else {
            d_.push_back(' ');
        }
        appendPair(d_, b, ' ');
        open_ = true;
        last_ = b;
    }
    // The next segment starts a new subpath.
    void lift() { open_ = false; }
    bool isEmpty() const { return d_.empty(); }
    const std::string& text() const { return d_; }

private:
    std::string d_;
    Rounded last_;
    bool open_ = false;
};

class SvgWriter {
public:
    SvgWriter(const PictureFrame& frame, std::string& out)
        : frame_(frame)
        , clip_(ClipRect::of(frame))
        , out_(out)
    {
    }

    bool background(const PictureScene::Background& image, std::string& error)
    {
        RgbaImage picture(image.width, image.height);
        if (picture.isEmpty()
            || image.rgba.size()
                < std::size_t {4} * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
            return true;
        std::memcpy(picture.data(), image.rgba.data(),
            std::size_t {4} * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
        std::vector<std::uint8_t> png;
        if (!encodePng(picture, png, error))
            return false;
        out_.append("<image x=\"0\" y=\"");
        appendInt(out_, frame_.canvasHeight - image.height);
        out_.append("\" width=\"");
        appendInt(out_, image.width);
        out_.append("\" height=\"");
        appendInt(out_, image.height);
        out_.append("\" preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\" "
                    "style=\"image-rendering:pixelated\" xlink:href=\"data:image/png;base64,");
        appendBase64(png);
        out_.append("\"/>\n");
        return true;
    }

    void lines(const DecoratedLines& decorated)
    {
        const StreamlineSet& lines = decorated.lines;
        const bool coloured = decorated.isColoured();
        out_.append("<g class=\"streamlines\" fill=\"none\" stroke=\"");
        appendColour(out_, coloured ? DecoratedLines::kOutline : DecoratedLines::kWhite);
        out_.append("\" stroke-width=\"");
        appendWidth(coloured ? DecoratedLines::kOutlineWidth : DecoratedLines::kPlainWidth);
        out_.append("\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n");
        std::vector<Point> pixels;
        for (const StreamlineSet::HalfLine& line : lines.halfLines()) {
            toPicture(lines.pointsOf(line), pixels);
            PathData path;
            for (std::size_t i = 1; i < pixels.size(); ++i)
                clippedSegment(pixels[i - 1], pixels[i], path);
            writePath(path);
        }
        out_.append("</g>\n");
        if (coloured)
            lineColours(decorated);
        marks(decorated);
    }

    void arrows(const PictureScene::Arrows& arrows)
    {
        out_.append("<g class=\"arrows\" fill=\"");
        appendColour(out_, arrows.colour);
        out_.append("\" stroke=\"none\">\n");
        std::vector<Vertex> polygon;
        for (const std::array<Vector3, 3>& triangle : arrows.triangles) {
            polygon.clear();
            for (const Vector3& corner : triangle)
                polygon.push_back({corner.x, corner.y, corner.z});
            // OpenGL's depth range −1 … 1 cuts arrows whose z leaves it.
            clipPolygon(polygon, [](const Vertex& v) { return v.z + 1.0; });
            clipPolygon(polygon, [](const Vertex& v) { return 1.0 - v.z; });
            writePolygon(polygon, nullptr);
        }
        out_.append("</g>\n");
    }

private:
    // A corner in regular-grid coordinates while it is clipped in depth, in
    // picture pixels (z unused) afterwards.
    struct Vertex {
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
    };

    void toPicture(std::span<const Vector3> points, std::vector<Point>& pixels) const
    {
        pixels.resize(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            frame_.toPicture(points[i].x, points[i].y, pixels[i].x, pixels[i].y);
    }

    void clippedSegment(Point a, Point b, PathData& path) const
    {
        if (clip_.clip(a, b))
            path.segment(a, b);
        else
            path.lift();
    }

    void writePath(const PathData& path, const Rgb* stroke = nullptr)
    {
        if (path.isEmpty())
            return;
        out_.append("<path ");
        if (stroke) {
            out_.append("stroke=\"");
            appendColour(out_, *stroke);
            out_.append("\" ");
        }
        out_.append("d=\"");
        out_.append(path.text());
        out_.append("\"/>\n");
    }

    // The coloured pass: all segments of one colour in one path, in the order
    // the colours first appear.
    void lineColours(const DecoratedLines& decorated)
    {
        const StreamlineSet& lines = decorated.lines;
        std::vector<Rgb> colours;
        std::vector<PathData> paths;
        std::unordered_map<std::uint32_t, std::size_t> indexOf;
        std::vector<Point> pixels;
        for (const StreamlineSet::HalfLine& line : lines.halfLines()) {
            toPicture(lines.pointsOf(line), pixels);
            for (std::size_t i = 1; i < pixels.size(); ++i) {
                const Rgb& c = decorated.colours[line.first + i - 1];
                const std::uint32_t key = (std::uint32_t {c.r} << 16) | (std::uint32_t {c.g} << 8) | c.b;
                const auto [at, added] = indexOf.try_emplace(key, paths.size());
                if (added) {
                    colours.push_back(c);
                    paths.emplace_back();
                }
                clippedSegment(pixels[i - 1], pixels[i], paths[at->second]);
            }
            for (PathData& path : paths)
                path.lift();
        }
        out_.append("<g class=\"line-colours\" fill=\"none\" stroke-width=\"");
        appendWidth(DecoratedLines::kColouredWidth);
        out_.append("\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n");
        for (std::size_t k = 0; k < paths.size(); ++k)
            writePath(paths[k], &colours[k]);
        out_.append("</g>\n");
    }

    void marks(const DecoratedLines& decorated)
    {
        if (decorated.marks.empty())
            return;
        const bool coloured = decorated.isColoured();
        out_.append("<g class=\"direction-marks\" ");
        if (coloured) {
            out_.append("stroke=\"");
            appendColour(out_, DecoratedLines::kOutline);
            out_.append("\" stroke-width=\"");
            appendWidth(DecoratedLines::kMarkOutlineWidth);
            out_.append("\" stroke-linejoin=\"round\">\n");
        } else {
            out_.append("fill=\"");
            appendColour(out_, DecoratedLines::kWhite);
            out_.append("\" stroke=\"none\">\n");
        }
        std::vector<Vertex> polygon;
        for (const DecoratedLines::Mark& mark : decorated.marks) {
            polygon.clear();
            for (const Vector3& corner : mark.corners)
                polygon.push_back({corner.x, corner.y, 0.0});
            writePolygon(polygon, coloured ? &mark.colour : nullptr);
        }
        out_.append("</g>\n");
    }

    // Sutherland–Hodgman against one half-space, inside where inside(v) >= 0.
    template <class Inside> static void clipPolygon(std::vector<Vertex>& polygon, Inside inside)
    {
        std::vector<Vertex> kept;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const Vertex& a = polygon[i];
            const Vertex& b = polygon[(i + 1) % polygon.size()];
            const double da = inside(a);
            const double db = inside(b);
            if (da >= 0.0)
                kept.push_back(a);
            if ((da >= 0.0) != (db >= 0.0)) {
                const double t = da / (da - db);
                kept.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)});
            }
        }
        polygon.swap(kept);
    }

    // Maps a polygon in regular-grid coordinates to the picture, clips it to
    // the viewport and writes it when something of it is left.
    void writePolygon(std::vector<Vertex>& polygon, const Rgb* fill)
    {
        for (Vertex& v : polygon)
            frame_.toPicture(v.x, v.y, v.x, v.y);
        clipPolygon(polygon, [this](const Vertex& v) { return v.x - clip_.left; });
        clipPolygon(polygon, [this](const Vertex& v) { return clip_.right - v.x; });
        clipPolygon(polygon, [this](const Vertex& v) { return v.y - clip_.top; });
        clipPolygon(polygon, [this](const Vertex& v) { return clip_.bottom - v.y; });
        if (polygon.size() < 3)
            return;
        out_.append("<polygon ");
        if (fill) {
            out_.append("fill=\"");
            appendColour(out_, *fill);
            out_.append("\" ");
        }
        out_.append("points=\"");
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            if (i > 0)
                out_.push_back(' ');
            appendPair(out_, rounded({polygon[i].x, polygon[i].y}), ',');
        }
        out_.append("\"/>\n");
    }

    void appendWidth(float width) { appendNumber(out_, std::llround(static_cast<double>(width) * 100.0)); }

    void appendBase64(const std::vector<std::uint8_t>& bytes)
    {
        static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        out_.reserve(out_.size() + (bytes.size() + 2) / 3 * 4);
        std::size_t i = 0;
        for (; i + 3 <= bytes.size(); i += 3) {
            const std::uint32_t v
                = (std::uint32_t {bytes[i]} << 16) | (std::uint32_t {bytes[i + 1]} << 8) | bytes[i + 2];
            const char quad[4]
                = {kDigits[(v >> 18) & 63], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], kDigits[v & 63]};
            out_.append(quad, 4);
        }
        if (i < bytes.size()) {
            const bool two = i + 1 < bytes.size();
            const std::uint32_t v = (std::uint32_t {bytes[i]} << 16) | (two ? std::uint32_t {bytes[i + 1]} << 8 : 0u);
            const char quad[4]
                = {kDigits[(v >> 18) & 63], kDigits[(v >> 12) & 63], two ? kDigits[(v >> 6) & 63] : '=', '='};
            out_.append(quad, 4);
        }
    }

    const PictureFrame& frame_;
    ClipRect clip_;
    std::string& out_;
};

} // namespace

bool makeSvgPicture(const PictureScene& scene, std::string& svg, std::string& error)
{
    const PictureFrame& frame = scene.frame;
    std::string out;
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
               "version=\"1.1\" width=\"");
    appendInt(out, frame.canvasWidth);
    out.append("\" height=\"");
    appendInt(out, frame.canvasHeight);
    out.append("\" viewBox=\"0 0 ");
    appendInt(out, frame.canvasWidth);
    out.push_back(' ');
    appendInt(out, frame.canvasHeight);
    out.append("\">\n<rect x=\"0\" y=\"0\" width=\"");
    appendInt(out, frame.canvasWidth);
    out.append("\" height=\"");
    appendInt(out, frame.canvasHeight);
    out.append("\" fill=\"#000000\"/>\n");

    SvgWriter writer(frame, out);
    if (!frame.isEmpty()) {
        for (const PictureScene::Layer& layer : scene.layers) {
            if (const auto* image = std::get_if<PictureScene::Background>(&layer)) {
                if (!writer.background(*image, error))
                    return false;
            } else if (const auto* lines = std::get_if<DecoratedLines>(&layer)) {
                writer.lines(*lines);
            } else if (const auto* arrows = std::get_if<PictureScene::Arrows>(&layer)) {
                writer.arrows(*arrows);
            }
        }
    }
    out.append("</svg>\n");
    svg = std::move(out);
    return true;
}

bool writeSvgPicture(const std::string& path, const PictureScene& scene, std::string& error)
{
    std::string svg;
    if (!makeSvgPicture(scene, svg, error))
        return false;
    return writeFileAtomically(
        path,
        [&svg](std::FILE* file, std::string& failure) {
            if (std::fwrite(svg.data(), 1, svg.size(), file) == svg.size())
                return true;
            failure = "cannot write the SVG document";
            return false;
        },
        error);
}

} // namespace tvl
