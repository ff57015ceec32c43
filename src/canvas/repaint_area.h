#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstdint>
#include <vector>

// The area a canvas asks its views to repaint, gathered rectangle by rectangle during a tick
// and handed out as one region. Each repainted rectangle costs the views a request to the
// display and each pixel costs bytes on a remote one, so the region is cut into horizontal
// bands of a fixed height, each as low as what was added to it, holding the exact columns
// added: rows of dots that move together share their rectangles, and no pixel between two
// dots is sent.
class RepaintArea {
public:
    void resize(QSize size);  // forgets everything
    void add(const QRect& rect);
    bool isEmpty() const { return lastBand < firstBand; }
    // The region added since the last take(), in the banded form QRegion keeps, and forgets it.
    QRegion take();

private:
    int bandCount() const { return static_cast<int>(tops.size()); }
    int nextColumn(int band, int from, bool set) const;

    QRect area;
    int words = 0;                      // a band's columns, 64 to a word
    std::vector<std::uint64_t> columns;  // band by band
    std::vector<int> tops;              // each band's extent so far; empty while top > bottom
    std::vector<int> bottoms;
    int firstBand = 0;                  // the bands holding anything: first to last
    int lastBand = -1;
    std::vector<QRect> rects;           // scratch for take(), kept to spare allocations
};
