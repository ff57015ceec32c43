#pragma once

#include <QBackingStore>
#include <QImage>
#include <QWidget>

// What the offscreen platform keeps of a window, at its device pixels (a screen grab there hands
// back only the window's logical size of them); a null image on a platform that keeps another
// kind of store.
inline QImage onScreen(const QWidget& window)
{
    const QPaintDevice* store = window.backingStore()->paintDevice();
    return store->devType() == QInternal::Image ? *static_cast<const QImage*>(store) : QImage();
}
