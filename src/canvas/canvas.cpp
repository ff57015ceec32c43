#include "canvas.h"

#include "canvas_view.h"

#include <QtMath>

#include <algorithm>

namespace {

// Side of the square chunks the picture's items are filed in, in device pixels. Telling the
// few items of a chunk that miss a rectangle costs less than re-filing the items that cross
// into another chunk: on the jelly cube 8 costs 229 000 instructions a tick, 16 224 000, 32
// 220 000 and 64 219 000.
constexpr int chunkSize = 32;

template <typename T>
void erase(std::vector<T*>& list, T* value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// QRect's & and | are calls into QtCore; a tick needs them a few hundred times, so inline.
QRect clipped(const QRect& r, const QRect& to)
{
    return QRect(QPoint(std::max(r.left(), to.left()), std::max(r.top(), to.top())),
                 QPoint(std::min(r.right(), to.right()), std::min(r.bottom(), to.bottom())));
}

bool overlapOrTouch(const QRect& a, const QRect& b)
{
    return a.left() <= b.right() + 1 && b.left() <= a.right() + 1 && a.top() <= b.bottom() + 1
        && b.top() <= a.bottom() + 1;
}

QRect united(const QRect& a, const QRect& b)
{
    return QRect(QPoint(std::min(a.left(), b.left()), std::min(a.top(), b.top())),
                 QPoint(std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())));
}

// A colour laid over opaque pixels, as a painter's source-over does it.
void fillSpan(QRgb* row, int left, int right, QRgb color)
{
    const int alpha = qAlpha(color);
    if (alpha == 255) {
        std::fill(row + left, row + right + 1, color);
        return;
    }
    const auto mix = [alpha](int over, int under) { return (over * alpha + under * (255 - alpha) + 127) / 255; };
    for (QRgb* p = row + left; p <= row + right; ++p)
        *p = qRgb(mix(qRed(color), qRed(*p)), mix(qGreen(color), qGreen(*p)), mix(qBlue(color), qBlue(*p)));
}

}  // namespace

// The picture's rows, found once a redraw: nothing else holds the picture, so its bits stay put.
class Canvas::Rows {
public:
    explicit Rows(QImage& image)
        : bits(image.bits()), stride(image.bytesPerLine())
    {
    }
    QRgb* operator[](int y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }

private:
    uchar* bits;
    qsizetype stride;
};

Canvas::Canvas(QObject* parent)
    : QObject(parent)
{
}

Canvas::~Canvas()
{
    for (CanvasView* view : views)
        view->canvasGone();
    const std::vector<CanvasEllipse*> items = std::move(itemList);
    itemList.clear();
    for (CanvasEllipse* item : items) {
        item->owner = nullptr;
        delete item;
    }
}

void Canvas::resize(int width, int height)
{
    area = QRect(0, 0, std::max(width, 0), std::max(height, 0));
    repaintArea.resize(area.size());
    repaintWhole();
}

void Canvas::setBackgroundColor(const QColor& color)
{
    if (color == background)
        return;
    background = color;
    repaintWhole();
}

void Canvas::repaintWhole()
{
    if (!drawing)
        return;
    drawWhole();
    for (CanvasView* view : views)
        view->update();
}

void Canvas::update()
{
    for (CanvasEllipse* item : changedItems)
        settle(item);
    changedItems.clear();
    if (repaintArea.isEmpty())
        return;
    // The picture is redrawn where the views repaint, from what every item shows now: a few
    // dozen rectangles a tick, each once, where the items' own areas overlap along the cube's
    // lines of sight and would be drawn over and over.
    const QRegion region = repaintArea.take();
    const Rows rows(picture);
    for (const QRect& r : region)
        redraw(devicePixels(r), rows);
    for (CanvasView* view : views)
        view->present(region);
}

void Canvas::addItem(CanvasEllipse* item)
{
    item->order = nextOrder++;
    if (drawing)
        item->shown = std::make_unique<CanvasEllipse::Shown>();
    itemList.push_back(item);
}

void Canvas::removeItem(CanvasEllipse* item)
{
    erase(itemList, item);
    if (item->pending)
        erase(changedItems, item);
    if (drawing) {
        markChanged(item->shown->box);
        file(item, QRect());
    }
}

void Canvas::itemChanged(CanvasEllipse* item)
{
    changedItems.push_back(item);
}

void Canvas::addView(CanvasView* view)
{
    views.push_back(view);
}

void Canvas::removeView(CanvasView* view)
{
    erase(views, view);
    if (views.empty())
        stopDrawing();
}

const QImage& Canvas::pictureAt(qreal pictureRatio)
{
    if (!drawing || pictureRatio != ratio) {
        ratio = pictureRatio;
        drawWhole();
    }
    return picture;
}

QRect Canvas::canvasPixels(const QRect& device, qreal ratio)
{
    if (device.isEmpty() || ratio == 1.0)
        return device;
    const QPoint topLeft(qFloor(device.left() / ratio), qFloor(device.top() / ratio));
    const QPoint end(qCeil((device.right() + 1) / ratio), qCeil((device.bottom() + 1) / ratio));
    return QRect(topLeft, end - QPoint(1, 1));
}

QImage Canvas::emptyImage(qreal pixelRatio) const
{
    QImage image(qRound(area.width() * pixelRatio), qRound(area.height() * pixelRatio), QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(backgroundColor().rgb());
    return image;
}

QImage Canvas::toImage(qreal pixelRatio) const
{
    QImage image = emptyImage(pixelRatio);
    const Rows rows(image);
    for (const CanvasEllipse* item : itemList)
        paint(item->showing(pixelRatio), image.rect(), rows);
    return image;
}

void Canvas::drawWhole()
{
    picture = emptyImage(ratio);
    pictureArea = picture.rect();
    backgroundPixel = background.rgb();
    chunkColumns = (picture.width() + chunkSize - 1) / chunkSize;
    const int chunkRows = (picture.height() + chunkSize - 1) / chunkSize;
    filed.assign(static_cast<std::size_t>(chunkColumns) * chunkRows, {});
    for (CanvasEllipse* item : changedItems)
        item->pending = false;
    changedItems.clear();
    repaintArea.take();  // the views repaint everything anyway

    drawing = true;
    const Rows rows(picture);
    for (CanvasEllipse* item : itemList) {
        item->shown = std::make_unique<CanvasEllipse::Shown>(item->showing(ratio));
        file(item, chunksUnder(item->shown->box));
        paint(*item->shown, pictureArea, rows);
    }
}

void Canvas::stopDrawing()
{
    picture = QImage();
    pictureArea = QRect();
    drawing = false;
    filed.clear();
    for (CanvasEllipse* item : changedItems)
        item->pending = false;
    changedItems.clear();
    for (CanvasEllipse* item : itemList)
        item->shown.reset();
    repaintArea.take();
}

void Canvas::settle(CanvasEllipse* item)
{
    item->pending = false;
    CanvasEllipse::Runs& now = settling;
    item->runsAt(ratio, now);
    // A move within the same pixels changes nothing on the screen.
    CanvasEllipse::Shown& shown = *item->shown;
    if (now == shown.runs && (now.empty() || item->rgba == shown.rgba))
        return;
    const QRect box = CanvasEllipse::boxOf(now);
    const QRect was = shown.box;
    // A dot moves a pixel at a time: its old and new squares mostly meet, and one rectangle
    // holding both costs half the bookkeeping of two.
    if (!was.isEmpty() && !box.isEmpty() && overlapOrTouch(was, box)) {
        markChanged(united(was, box));
    } else {
        markChanged(was);
        markChanged(box);
    }
    file(item, chunksUnder(box));
    // The runs it showed become the next item's list: once every list has the room a dot's
    // rows need, settling allocates nothing.
    shown.runs.swap(now);
    shown.rgba = item->rgba;
    shown.box = box;
}

void Canvas::markChanged(const QRect& device)
{
    repaintArea.add(canvasPixels(device, ratio));
}

QRect Canvas::devicePixels(const QRect& r) const
{
    if (ratio == 1.0)
        return r;
    const QPoint topLeft(qFloor(r.left() * ratio), qFloor(r.top() * ratio));
    const QPoint end(qCeil((r.right() + 1) * ratio), qCeil((r.bottom() + 1) * ratio));
    return clipped(QRect(topLeft, end - QPoint(1, 1)), pictureArea);
}

void Canvas::file(CanvasEllipse* item, const QRect& chunks)
{
    // Items move a pixel or two a tick, so most stay in their chunks.
    if (chunks == item->shown->chunks)
        return;
    const QRect old = item->shown->chunks;
    for (int row = old.top(); row <= old.bottom(); ++row)
        for (int column = old.left(); column <= old.right(); ++column)
            erase(filed[row * chunkColumns + column], item);
    for (int row = chunks.top(); row <= chunks.bottom(); ++row)
        for (int column = chunks.left(); column <= chunks.right(); ++column) {
            std::vector<CanvasEllipse*>& list = filed[row * chunkColumns + column];
            list.insert(std::upper_bound(list.begin(), list.end(), item, drawnBefore), item);
        }
    item->shown->chunks = chunks;
}

bool Canvas::drawnBefore(const CanvasEllipse* a, const CanvasEllipse* b)
{
    return a->order < b->order;
}

QRect Canvas::chunksUnder(const QRect& device) const
{
    const QRect onPicture = clipped(device, pictureArea);
    if (onPicture.isEmpty())
        return QRect();
    return QRect(QPoint(onPicture.left() / chunkSize, onPicture.top() / chunkSize),
                 QPoint(onPicture.right() / chunkSize, onPicture.bottom() / chunkSize));
}

void Canvas::redraw(const QRect& area, const Rows& rows)
{
    const QRgb fill = backgroundPixel;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill(rows[y] + area.left(), rows[y] + area.right() + 1, fill);
    const QRect chunks = chunksUnder(area);
    if (chunks.width() == 1 && chunks.height() == 1) {
        for (const CanvasEllipse* item : filed[chunks.top() * chunkColumns + chunks.left()])
            paint(*item->shown, area, rows);
        return;
    }
    // Across chunks an item may be filed more than once: each is drawn once, in order.
    QVarLengthArray<const CanvasEllipse*, 32> items;
    for (int row = chunks.top(); row <= chunks.bottom(); ++row)
        for (int column = chunks.left(); column <= chunks.right(); ++column)
            for (const CanvasEllipse* item : filed[row * chunkColumns + column])
                items.append(item);
    std::sort(items.begin(), items.end(), drawnBefore);
    const auto last = std::unique(items.begin(), items.end());
    for (auto item = items.begin(); item != last; ++item)
        paint(*(*item)->shown, area, rows);
}

void Canvas::paint(const CanvasEllipse::Shown& shown, const QRect& within, const Rows& rows)
{
    // A chunk's items mostly lie beside the area redrawn in it.
    const QRect& box = shown.box;
    if (box.right() < within.left() || box.left() > within.right() || box.bottom() < within.top()
        || box.top() > within.bottom())
        return;
    for (const auto& run : shown.runs) {
        if (run.y < within.top() || run.y > within.bottom())
            continue;
        const int left = std::max(run.left, within.left());
        const int right = std::min(run.right, within.right());
        if (left <= right)
            fillSpan(rows[run.y], left, right, shown.rgba);
    }
}
