#include "canvas_ellipse.h"

#include "canvas.h"

#include <algorithm>
#include <cmath>

CanvasEllipse::CanvasEllipse(int width, int height, Canvas* canvas)
    : owner(canvas), w(width), h(height)
{
    if (owner != nullptr)
        owner->addItem(this);
}

CanvasEllipse::~CanvasEllipse()
{
    if (owner != nullptr)
        owner->removeItem(this);
}

void CanvasEllipse::setColor(const QColor& color)
{
    const QRgb value = color.rgba();
    if (value == rgba)
        return;
    changed();
    rgba = value;
}

void CanvasEllipse::show()
{
    if (visible)
        return;
    changed();
    visible = true;
}

void CanvasEllipse::hide()
{
    if (!visible)
        return;
    changed();
    visible = false;
}

namespace {

// Beyond this no canvas reaches, and the pixels of a far ellipse would not fit in an int.
constexpr double far = 1 << 20;

bool near(double x, double y, double a, double b)
{
    return std::fabs(x) + std::fabs(a) < far && std::fabs(y) + std::fabs(b) < far;
}

// For values within far of 0 only. The library's floor and ceil are calls on plain x86-64.
int floorToInt(double v)
{
    const int i = static_cast<int>(v);
    return i - (v < i);
}

int ceilToInt(double v)
{
    const int i = static_cast<int>(v);
    return i + (v > i);
}

}  // namespace

void CanvasEllipse::runsAt(double ratio, Runs& runs) const
{
    // Worked out here rather than left to a painter's curve rasteriser, the ellipse knows
    // exactly which pixels it paints: the area repainted holds all of them by construction.
    runs.clear();
    const double x = px * ratio;
    const double y = py * ratio;
    const double a = w / 2.0 * ratio;
    const double b = h / 2.0 * ratio;
    if (!visible || !near(x, y, a, b))
        return;
    const int top = floorToInt(y - b - 0.5) + 1;
    const int bottom = ceilToInt(y + b - 0.5) - 1;
    runs.reserve(std::max(bottom - top + 1, 0));
    for (int row = top; row <= bottom; ++row) {
        const double dy = (row + 0.5 - y) / b;
        const double half = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        const int left = floorToInt(x - half - 0.5) + 1;
        const int right = ceilToInt(x + half - 0.5) - 1;
        if (left <= right)
            runs.push_back({row, left, right});
    }
}

QRect CanvasEllipse::boxOf(const Runs& runs)
{
    if (runs.empty())
        return QRect();
    int left = runs.front().left;
    int right = runs.front().right;
    for (const Run& run : runs) {
        left = std::min(left, run.left);
        right = std::max(right, run.right);
    }
    return QRect(QPoint(left, runs.front().y), QPoint(right, runs.back().y));
}

CanvasEllipse::Shown CanvasEllipse::showing(double ratio) const
{
    Shown now{{}, rgba, QRect(), QRect()};
    runsAt(ratio, now.runs);
    now.box = boxOf(now.runs);
    return now;
}

QRect CanvasEllipse::boundingRect() const
{
    const double ratio = owner != nullptr ? owner->pixelRatio() : 1.0;
    Runs runs;
    runsAt(ratio, runs);
    return Canvas::canvasPixels(boxOf(runs), ratio);
}

void CanvasEllipse::changed()
{
    // A canvas that draws nothing keeps no record: a view that comes along draws everything.
    if (pending || !shown)
        return;
    pending = true;
    owner->itemChanged(this);
}
