#include "ui/shadow_pixels.h"

#include <algorithm>
#include <cmath>

namespace {

class ShadowCanvas {
public:
    explicit ShadowCanvas(ShadowBitmap& bitmap) : m_Bitmap(bitmap) {}

    uint32_t* Row(int row) { return &m_Bitmap.pixels[static_cast<size_t>(m_Bitmap.height - row - 1) * m_Bitmap.width]; }

    void Fill(int row, int from, int to, uint32_t value) {
        from = std::max(from, 0);
        to = std::min(to, m_Bitmap.width);
        uint32_t* line = Row(row);
        for (int x = from; x < to; ++x) line[x] = value;
    }

    // Writes the kernel centred on (x, row), keeping the higher value of each pixel.
    void Stamp(const std::vector<uint32_t>& kernel, int radius, int x, int row) {
        const int side = 2 * radius + 1;
        for (int v = -radius; v <= radius; ++v) {
            const int y = row + v;
            if (y < 0 || y >= m_Bitmap.height) continue;
            uint32_t* line = Row(y);
            const uint32_t* cells = &kernel[static_cast<size_t>(v + radius) * side];
            for (int u = -radius; u <= radius; ++u) {
                const int column = x + u;
                if (column < 0 || column >= m_Bitmap.width) continue;
                line[column] = std::max(line[column], cells[u + radius]);
            }
        }
    }

private:
    ShadowBitmap& m_Bitmap;
};

// The parent's spans laid into N + 2 rows with empty guards and `size` empty rows each side,
// then eroded so the blur ends inside the parent's outline.
std::vector<ShadowSpan> AnchorRows(const std::vector<ShadowSpan>& parentSpans, int cx, int cy, const ShadowParams& p) {
    const int s = p.size;
    const int shadowHeight = cy + 2 * s;
    const int n = std::max(cy, shadowHeight);
    const ShadowSpan empty{cx, 0};
    std::vector<ShadowSpan> rows(static_cast<size_t>(n) + 2, empty);
    const int first = s > 0 ? 1 + s : 1;
    const int shift = s > 0 ? s : 0;
    for (int y = 0; y < cy && first + y <= n; ++y) {
        rows[first + y] = ShadowSpan{parentSpans[y].start + shift, parentSpans[y].end + shift};
    }
    for (int pass = 0; pass < p.sharpness - s; ++pass) {
        std::vector<ShadowSpan> eroded = rows;
        for (int j = 1; j <= n; ++j) {
            eroded[j].start = std::max({rows[j - 1].start, rows[j].start, rows[j + 1].start}) + 1;
            eroded[j].end = std::min({rows[j - 1].end, rows[j].end, rows[j + 1].end}) - 1;
        }
        rows.swap(eroded);
    }
    return rows;
}

std::vector<uint32_t> BlurKernel(const ShadowParams& p, int radius) {
    const int s = p.size, h = p.sharpness;
    const double centre = s > h ? s - h : 0;
    const int side = 2 * radius + 1;
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
    for (int v = -radius; v <= radius; ++v) {
        for (int u = -radius; u <= radius; ++u) {
            const double r = std::sqrt(static_cast<double>(u * u + v * v));
            int opacity = 0;
            if (r < centre) {
                opacity = p.darkness;
            } else if (r <= radius) {
                opacity = static_cast<int>((1.0 - (r - centre) / (h + 1)) * p.darkness);
            } else {
                continue;
            }
            kernel[static_cast<size_t>(v + radius) * side + (u + radius)] = ShadowPixel(p.color, opacity);
        }
    }
    return kernel;
}

}  // namespace

std::vector<ShadowSpan> SpansOfRegion(int width, int height, const std::function<bool(int x, int y)>& inside) {
    std::vector<ShadowSpan> spans(static_cast<size_t>(std::max(height, 0)), ShadowSpan{width, 0});
    for (int y = 0; y < height; ++y) {
        int start = 0;
        while (start < width && !inside(start, y)) ++start;
        if (start == width) continue;
        int last = width - 1;
        while (last > start && !inside(last, y)) --last;
        spans[y] = ShadowSpan{start, last + 1};
    }
    return spans;
}

uint32_t ShadowPixel(uint32_t color, int opacity) {
    const uint32_t a = static_cast<uint32_t>(opacity);
    const uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    return a << 24 | (red * a / 255) << 16 | (green * a / 255) << 8 | (blue * a / 255);
}

ShadowBitmap ComputeShadowPixels(const std::vector<ShadowSpan>& parentSpans, int cx, int cy, const ShadowParams& p) {
    ShadowBitmap bitmap;
    const int s = p.size;
    bitmap.width = cx + 2 * s;
    bitmap.height = cy + 2 * s;
    if (bitmap.width <= 0 || bitmap.height <= 0 || static_cast<int>(parentSpans.size()) < cy) return bitmap;
    bitmap.pixels.assign(static_cast<size_t>(bitmap.width) * bitmap.height, 0);
    ShadowCanvas canvas(bitmap);

    const std::vector<ShadowSpan> anchors = AnchorRows(parentSpans, cx, cy, p);
    const int rowBase = 1 + std::max(-s, 0);
    const auto row = [&](int i) { return anchors[static_cast<size_t>(i + rowBase)]; };

    const int radius = std::max(s, p.sharpness);
    const std::vector<uint32_t> kernel = BlurKernel(p, radius);
    for (int i = radius; i <= bitmap.height - radius - 1; ++i) {
        const ShadowSpan span = row(i), above = row(i - 1), below = row(i + 1);
        if (span.start >= span.end) continue;
        int j = span.start;
        for (; j < std::min(std::max(above.start, below.start) + 1, span.end); ++j) canvas.Stamp(kernel, radius, j, i);
        for (j = std::max(j, std::min(above.end, below.end) - 1); j < span.end; ++j) canvas.Stamp(kernel, radius, j, i);
    }

    const uint32_t core = ShadowPixel(p.color, p.darkness);
    const int firstRow = std::min(radius, std::max(s - p.offsetY, 0));
    const int endRow = std::max(bitmap.height - radius, std::min(cy + s - p.offsetY, cy + 2 * s));
    const int shift = s - p.offsetX;
    for (int i = firstRow; i < endRow; ++i) {
        const ShadowSpan span = row(i);
        const int r = i - s + p.offsetY;
        if (r < 0 || r >= cy) {
            canvas.Fill(i, span.start, span.end, core);
            continue;
        }
        const ShadowSpan parent = parentSpans[r];
        canvas.Fill(i, span.start, std::min(parent.start + shift, span.end), core);
        // The window itself is never darkened.
        canvas.Fill(i, std::max(parent.start + shift, 0), std::min(parent.end + shift, bitmap.width), 0);
        canvas.Fill(i, std::max(parent.end + shift, span.start), span.end, core);
    }
    return bitmap;
}
