// GetGlyphOutlineW against FreeType: the one-bit bitmap is FreeType's
// monochrome rendering of the hinted glyph with its rows padded to DWORDs;
// the native outline holds the glyph's TrueType points, hinted, in order
// from each contour's first point on the curve; the Bezier outline traces
// the same curves; the grey bitmaps have the levels of their format; a MAT2
// turns or scales the glyph as a font turned or scaled would be.
#include <algorithm>
#include <cstring>

#include "win32/gdi32/font_fixture.h"

using namespace tam::test;

namespace {

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

struct Curve {
    WORD type;
    std::vector<POINT> points;  // 16.16, as whole 32-bit values
};
struct Polygon {
    POINT start;
    std::vector<Curve> curves;
};

LONG FixedBits(FIXED f) { return LONG(uint32_t(uint16_t(f.value)) << 16 | f.fract); }
POINT FixedPoint(const POINTFX& p) { return {FixedBits(p.x), FixedBits(p.y)}; }

// Reads TTPOLYGONHEADER records, checking their sizes add up.
std::vector<Polygon> ReadPolygons(const std::vector<BYTE>& data) {
    std::vector<Polygon> polygons;
    size_t at = 0;
    while (at < data.size()) {
        TTPOLYGONHEADER header;
        EXPECT_GE(data.size() - at, sizeof(header));
        std::memcpy(&header, data.data() + at, sizeof(header));
        EXPECT_EQ(header.dwType, DWORD(TT_POLYGON_TYPE));
        EXPECT_LE(header.cb, data.size() - at);
        Polygon polygon{FixedPoint(header.pfxStart), {}};
        for (size_t curveAt = at + sizeof(header); curveAt < at + header.cb;) {
            WORD head[2];
            std::memcpy(head, data.data() + curveAt, sizeof(head));
            Curve curve{head[0], {}};
            for (WORD i = 0; i < head[1]; ++i) {
                POINTFX p;
                std::memcpy(&p, data.data() + curveAt + 4 + 8 * size_t(i), sizeof(p));
                curve.points.push_back(FixedPoint(p));
            }
            curveAt += 4 + 8 * size_t(head[1]);
            EXPECT_LE(curveAt, at + header.cb);
            polygon.curves.push_back(curve);
        }
        polygons.push_back(polygon);
        at += header.cb;
    }
    return polygons;
}

class GlyphOutline : public FontTest {
protected:
    static constexpr LONG kEm = 40;

    void SetUp() override {
        FontTest::SetUp();
        dc_ = MemoryDCWith(u"DejaVu Sans", kEm);
    }

    // The call with a null buffer (the size), then with a buffer of that size.
    std::vector<BYTE> Outline(UINT ch, UINT format, GLYPHMETRICS& gm, const MAT2& matrix = kIdentity,
                              HDC dc = nullptr) {
        dc = dc ? dc : dc_;
        const DWORD size = GetGlyphOutlineW(dc, ch, format, &gm, 0, nullptr, &matrix);
        EXPECT_NE(size, GDI_ERROR) << GetLastError();
        if (size == GDI_ERROR) return {};
        std::vector<BYTE> data(size);
        GLYPHMETRICS again{};
        if (size > 0) {
            EXPECT_EQ(GetGlyphOutlineW(dc, ch, format, &again, size, data.data(), &matrix), size);
        }
        return data;
    }

    HDC dc_ = nullptr;
};

class GlyphBitmap : public GlyphOutline, public testing::WithParamInterface<char16_t> {};

TEST_P(GlyphBitmap, IsFreeTypesMonochromeRendering) {
    const FtFace ft(kDejaVuSans, kEm);
    const FT_GlyphSlot slot = ft.Render(GetParam(), FT_RENDER_MODE_MONO);
    const FT_Bitmap& expected = slot->bitmap;
    GLYPHMETRICS gm{};
    const std::vector<BYTE> bits = Outline(GetParam(), GGO_BITMAP, gm);
    const size_t stride = (expected.width + 31) / 32 * 4;
    ASSERT_EQ(bits.size(), stride * expected.rows);
    EXPECT_EQ(gm.gmBlackBoxX, expected.width);
    EXPECT_EQ(gm.gmBlackBoxY, expected.rows);
    EXPECT_EQ(gm.gmptGlyphOrigin.x, slot->bitmap_left);
    EXPECT_EQ(gm.gmptGlyphOrigin.y, slot->bitmap_top);
    EXPECT_EQ(gm.gmCellIncX, (slot->advance.x + 32) >> 6);
    EXPECT_EQ(gm.gmCellIncY, 0);
    for (unsigned row = 0; row < expected.rows; ++row)
        for (unsigned x = 0; x < stride * 8; ++x) {
            const bool set = bits[row * stride + x / 8] & (0x80 >> (x % 8));
            const bool want = x < expected.width && (expected.buffer[row * expected.pitch + x / 8] & (0x80 >> (x % 8)));
            ASSERT_EQ(set, want) << "row " << row << " column " << x;
        }
}

INSTANTIATE_TEST_SUITE_P(Characters, GlyphBitmap, testing::Values(u'A', u'g', u'@', u'W', u'j', u'%'));

// A contour's points as TrueType holds them, from its first point on the
// curve, with whether each is on the curve.
struct ContourPoints {
    std::vector<POINT> points;
    std::vector<bool> on;
};

std::vector<ContourPoints> TrueTypeContours(const FT_Outline& outline) {
    std::vector<ContourPoints> contours;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        const int last = outline.contours[c], n = last - first + 1;
        int start = 0;
        while (start < n && (outline.tags[first + start] & 3) != 1) ++start;
        EXPECT_LT(start, n) << "a contour without a point on the curve";
        ContourPoints contour;
        for (int k = 0; k < n; ++k) {
            const int i = first + (start + k) % n;
            contour.points.push_back({LONG(outline.points[i].x * 1024), LONG(outline.points[i].y * 1024)});
            contour.on.push_back((outline.tags[i] & 3) == 1);
        }
        contours.push_back(contour);
        first = last + 1;
    }
    return contours;
}

class NativeOutline : public GlyphOutline, public testing::WithParamInterface<char16_t> {};

TEST_P(NativeOutline, HoldsTheTrueTypePointsInOrder) {
    const FtFace ft(kDejaVuSans, kEm);
    const std::vector<ContourPoints> expected = TrueTypeContours(ft.Load(ft.GlyphOf(GetParam()))->outline);
    GLYPHMETRICS gm{};
    const std::vector<Polygon> polygons = ReadPolygons(Outline(GetParam(), GGO_NATIVE, gm));
    ASSERT_EQ(polygons.size(), expected.size());
    for (size_t c = 0; c < polygons.size(); ++c) {
        const Polygon& polygon = polygons[c];
        std::vector<POINT> points{polygon.start};
        std::vector<bool> on{true};
        for (const Curve& curve : polygon.curves) {
            ASSERT_TRUE(curve.type == TT_PRIM_LINE || curve.type == TT_PRIM_QSPLINE) << curve.type;
            for (size_t i = 0; i < curve.points.size(); ++i) {
                points.push_back(curve.points[i]);
                // A line's points are on the curve; a spline's are controls but its last.
                on.push_back(curve.type == TT_PRIM_LINE || i + 1 == curve.points.size());
            }
        }
        // A contour closing with a curve ends that curve on its start; a
        // closing line is left to the polygon.
        if (points.size() == expected[c].points.size() + 1) {
            EXPECT_EQ(polygon.curves.back().type, TT_PRIM_QSPLINE);
            ASSERT_EQ(points.back().x, polygon.start.x);
            ASSERT_EQ(points.back().y, polygon.start.y);
            points.pop_back();
            on.pop_back();
        }
        ASSERT_EQ(points.size(), expected[c].points.size()) << "contour " << c;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].x, expected[c].points[i].x) << "contour " << c << " point " << i;
            EXPECT_EQ(points[i].y, expected[c].points[i].y) << "contour " << c << " point " << i;
            EXPECT_EQ(on[i], expected[c].on[i]) << "contour " << c << " point " << i;
        }
    }
}

// Points along every curve of the outline, each curve at a few parameters,
// in pixels.
std::vector<std::pair<double, double>> Trace(const std::vector<Polygon>& polygons) {
    std::vector<std::pair<double, double>> samples;
    auto fx = [](LONG v) { return v / 65536.0; };
    for (const Polygon& polygon : polygons) {
        double x = fx(polygon.start.x), y = fx(polygon.start.y);
        for (const Curve& curve : polygon.curves) {
            const auto& p = curve.points;
            if (curve.type == TT_PRIM_LINE) {
                for (const POINT& q : p) samples.push_back({x = fx(q.x), y = fx(q.y)});
            } else if (curve.type == TT_PRIM_QSPLINE) {
                for (size_t i = 0; i + 1 < p.size(); ++i) {
                    const double cx = fx(p[i].x), cy = fx(p[i].y);
                    const bool last = i + 2 == p.size();
                    const double ex = last ? fx(p[i + 1].x) : (cx + fx(p[i + 1].x)) / 2;
                    const double ey = last ? fx(p[i + 1].y) : (cy + fx(p[i + 1].y)) / 2;
                    for (double t : {0.25, 0.5, 0.75, 1.0})
                        samples.push_back({(1 - t) * (1 - t) * x + 2 * t * (1 - t) * cx + t * t * ex,
                                           (1 - t) * (1 - t) * y + 2 * t * (1 - t) * cy + t * t * ey});
                    x = ex, y = ey;
                }
            } else {
                EXPECT_EQ(p.size() % 3, 0u);
                for (size_t i = 0; i + 2 < p.size(); i += 3) {
                    const double c1x = fx(p[i].x), c1y = fx(p[i].y), c2x = fx(p[i + 1].x), c2y = fx(p[i + 1].y);
                    const double ex = fx(p[i + 2].x), ey = fx(p[i + 2].y);
                    for (double t : {0.25, 0.5, 0.75, 1.0}) {
                        const double u = 1 - t;
                        samples.push_back({u * u * u * x + 3 * u * u * t * c1x + 3 * u * t * t * c2x + t * t * t * ex,
                                           u * u * u * y + 3 * u * u * t * c1y + 3 * u * t * t * c2y + t * t * t * ey});
                    }
                    x = ex, y = ey;
                }
            }
        }
    }
    return samples;
}

TEST_P(NativeOutline, BezierFormTracesTheSameCurves) {
    GLYPHMETRICS native{}, bezier{};
    const auto quadratic = Trace(ReadPolygons(Outline(GetParam(), GGO_NATIVE, native)));
    const std::vector<Polygon> cubicPolygons = ReadPolygons(Outline(GetParam(), GGO_BEZIER, bezier));
    for (const Polygon& polygon : cubicPolygons)
        for (const Curve& curve : polygon.curves) EXPECT_TRUE(curve.type == TT_PRIM_LINE || curve.type == TT_PRIM_CSPLINE);
    const auto cubic = Trace(cubicPolygons);
    ASSERT_EQ(cubic.size(), quadratic.size());
    for (size_t i = 0; i < cubic.size(); ++i) {
        EXPECT_NEAR(cubic[i].first, quadratic[i].first, 1e-4) << i;
        EXPECT_NEAR(cubic[i].second, quadratic[i].second, 1e-4) << i;
    }
    EXPECT_EQ(std::memcmp(&native, &bezier, sizeof(native)), 0);
}

INSTANTIATE_TEST_SUITE_P(Characters, NativeOutline, testing::Values(u'A', u'g', u'O', u'S', u'8', u'@'));

struct GrayCase {
    UINT format;
    BYTE top;  // the level of a pixel the glyph covers wholly
};
class GrayBitmap : public GlyphOutline, public testing::WithParamInterface<GrayCase> {};

// The levels run from 0 to the format's top, the stems of an H reach the
// top, rows are padded to DWORDs, and each pixel of the one-bit glyph is
// grey or darker.
TEST_P(GrayBitmap, LevelsOfTheFormat) {
    GLYPHMETRICS gray{}, mono{};
    const std::vector<BYTE> levels = Outline('H', GetParam().format, gray);
    const std::vector<BYTE> bits = Outline('H', GGO_BITMAP, mono);
    const size_t stride = (gray.gmBlackBoxX + 3) & ~3u, monoStride = (mono.gmBlackBoxX + 31) / 32 * 4;
    ASSERT_EQ(levels.size(), stride * gray.gmBlackBoxY);
    EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), GetParam().top);
    for (UINT y = 0; y < mono.gmBlackBoxY; ++y)
        for (UINT x = 0; x < mono.gmBlackBoxX; ++x) {
            if (!(bits[y * monoStride + x / 8] & (0x80 >> (x % 8)))) continue;
            const LONG gx = LONG(x) + mono.gmptGlyphOrigin.x - gray.gmptGlyphOrigin.x;
            const LONG gy = gray.gmptGlyphOrigin.y - mono.gmptGlyphOrigin.y + LONG(y);
            ASSERT_TRUE(gx >= 0 && gy >= 0 && UINT(gx) < gray.gmBlackBoxX && UINT(gy) < gray.gmBlackBoxY);
            EXPECT_GT(levels[size_t(gy) * stride + size_t(gx)], 0) << x << "," << y;
        }
    EXPECT_EQ(gray.gmCellIncX, mono.gmCellIncX);
}

INSTANTIATE_TEST_SUITE_P(Formats, GrayBitmap,
                         testing::Values(GrayCase{GGO_GRAY2_BITMAP, 4}, GrayCase{GGO_GRAY4_BITMAP, 16},
                                         GrayCase{GGO_GRAY8_BITMAP, 64}));

// A quarter turn counter-clockwise maps each point (x, y) to (-y, x) and
// turns the advance upward.
TEST_F(GlyphOutline, QuarterTurnMatrixTurnsThePoints) {
    const MAT2 turn = {{0, 0}, {0, 1}, {0, -1}, {0, 0}};
    GLYPHMETRICS upright{}, turned{};
    const std::vector<Polygon> a = ReadPolygons(Outline('R', GGO_NATIVE, upright));
    const std::vector<Polygon> b = ReadPolygons(Outline('R', GGO_NATIVE, turned, turn));
    ASSERT_EQ(a.size(), b.size());
    for (size_t c = 0; c < a.size(); ++c) {
        EXPECT_EQ(b[c].start.x, -a[c].start.y);
        EXPECT_EQ(b[c].start.y, a[c].start.x);
        ASSERT_EQ(a[c].curves.size(), b[c].curves.size());
        for (size_t k = 0; k < a[c].curves.size(); ++k) {
            ASSERT_EQ(a[c].curves[k].points.size(), b[c].curves[k].points.size());
            for (size_t i = 0; i < a[c].curves[k].points.size(); ++i) {
                EXPECT_EQ(b[c].curves[k].points[i].x, -a[c].curves[k].points[i].y);
                EXPECT_EQ(b[c].curves[k].points[i].y, a[c].curves[k].points[i].x);
            }
        }
    }
    EXPECT_EQ(turned.gmCellIncX, 0);
    EXPECT_EQ(turned.gmCellIncY, upright.gmCellIncX);
}

// Doubling through the MAT2 gives the glyph of the font twice as large.
TEST_F(GlyphOutline, DoublingMatrixIsTheFontTwiceAsLarge) {
    const MAT2 twice = {{0, 2}, {0, 0}, {0, 0}, {0, 2}};
    HDC large = MemoryDCWith(u"DejaVu Sans", 2 * kEm);
    GLYPHMETRICS scaled{}, direct{};
    const std::vector<BYTE> a = Outline('g', GGO_BITMAP, scaled, twice);
    const std::vector<BYTE> b = Outline('g', GGO_BITMAP, direct, kIdentity, large);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::memcmp(&scaled, &direct, sizeof(scaled)), 0);
}

// Glyph 0 by index, and a character the face lacks, which draws as it.
TEST_F(GlyphOutline, GlyphIndexAndMissingCharacter) {
    GLYPHMETRICS byIndex{}, missing{};
    const std::vector<BYTE> a = Outline(0, GGO_NATIVE | GGO_GLYPH_INDEX, byIndex);
    const std::vector<BYTE> b = Outline(0x4E2D, GGO_NATIVE, missing);  // no CJK in DejaVu Sans
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
}

// A space has no pixels: an empty bitmap and a black box of one blank pixel.
TEST_F(GlyphOutline, SpaceHasAnEmptyBitmap) {
    const FtFace ft(kDejaVuSans, kEm);
    GLYPHMETRICS gm{};
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetGlyphOutlineW(dc_, ' ', GGO_BITMAP, &gm, 0, nullptr, &kIdentity), 0u);
    EXPECT_EQ(gm.gmBlackBoxX, 1u);
    EXPECT_EQ(gm.gmBlackBoxY, 1u);
    EXPECT_EQ(gm.gmCellIncX, ft.Advance(' '));
}

// Unhinted outlines are the glyph scaled without the font's instructions.
TEST_F(GlyphOutline, UnhintedOutlineIsTheScaledDesign) {
    const FtFace ft(kDejaVuSans, kEm);
    ASSERT_EQ(FT_Load_Glyph(ft.get(), ft.GlyphOf('a'), FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING), 0);
    const std::vector<ContourPoints> expected = TrueTypeContours(ft->glyph->outline);
    GLYPHMETRICS gm{};
    const std::vector<Polygon> polygons = ReadPolygons(Outline('a', GGO_NATIVE | GGO_UNHINTED, gm));
    ASSERT_EQ(polygons.size(), expected.size());
    for (size_t c = 0; c < polygons.size(); ++c) {
        EXPECT_EQ(polygons[c].start.x, expected[c].points[0].x);
        EXPECT_EQ(polygons[c].start.y, expected[c].points[0].y);
    }
}

}  // namespace
