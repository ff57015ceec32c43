#pragma once

#include "canvas_view.h"
#include "lattice.h"

// The program's one window: a fixed 800 x 600 view of the 780 x 580 canvas. It owns the tick
// timer and the node table and lets the user turn the cube.
class QJellyBox : public CanvasView {
    Q_OBJECT

public:
    explicit QJellyBox(QWidget* parent = nullptr);
    ~QJellyBox() override;

    JBNode* node(int index) const { return nodes[index]; }

public slots:
    // Out-of-range angles jump to the opposite end (above 180 to -180, below -180 to 180);
    // a signal only for a real change.
    void setXAngle(int degrees);
    void setYAngle(int degrees);
    void debug_update();

signals:
    void xAngleChanged(int degrees);
    void yAngleChanged(int degrees);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // A double-click's press records the pointer too: QWidget hands it to mousePressEvent.

private:
    int mousex = 0;  // pointer at the last press or drag step
    int mousey = 0;
    JBNodeTable nodes{};
};
