#include "canvas.h"
#include "canvas_ellipse.h"
#include "canvas_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QTest>

#include <memory>

namespace {

// Remembers the region each paint event asks for.
class RecordingView : public CanvasView {
public:
    QList<QRegion> painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        painted.append(event->region());
        CanvasView::paintEvent(event);
    }
};

CanvasEllipse* dotAt(Canvas& canvas, float x, float y)
{
    auto* dot = new CanvasEllipse(3, 3, &canvas);  // the canvas owns it
    dot->setX(x);
    dot->setY(y);
    dot->setColor(Qt::black);
    dot->show();
    return dot;
}

}  // namespace

class CanvasTest : public QObject {
    Q_OBJECT

private slots:
    void repaintsOnlyWhatMoved()
    {
        Canvas canvas;
        canvas.resize(200, 100);
        dotAt(canvas, 20, 20);
        CanvasEllipse* moving = dotAt(canvas, 50, 50);
        RecordingView view;
        view.setCanvas(&canvas);
        view.resize(200, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        canvas.update();
        QCoreApplication::processEvents();
        view.painted.clear();

        // Set to where it already is, or moved within the pixels it covers: no repaint at all.
        moving->setX(50);
        moving->setY(50);
        moving->show();
        canvas.update();
        QCoreApplication::processEvents();
        moving->setX(50.0625f);
        canvas.update();
        QCoreApplication::processEvents();
        QCOMPARE(view.painted.size(), 0);

        // Moved: its old and its new square, and nothing of the dot that stayed.
        const QRect before = moving->boundingRect();
        moving->setX(61.25f);
        moving->setY(58.5f);
        const QRect after = moving->boundingRect();
        canvas.update();
        QCoreApplication::processEvents();
        QCOMPARE(view.painted.size(), 1);
        const QRegion painted = view.painted.first();
        QVERIFY(painted.contains(before) && painted.contains(after));
        // Around means within a chunk of them: far less than the canvas, nothing of the other dot.
        const QRegion around = QRegion(before.adjusted(-16, -16, 16, 16)).united(after.adjusted(-16, -16, 16, 16));
        QCOMPARE(painted.subtracted(around), QRegion());
        QVERIFY(!painted.intersects(QRect(18, 18, 5, 5)));
    }

    void ellipseIsCentredOnItsPosition()
    {
        Canvas canvas;
        canvas.resize(40, 40);
        CanvasEllipse* dot = dotAt(canvas, 0, 0);
        CanvasView view;
        view.setCanvas(&canvas);
        view.resize(40, 40);
        for (const QPointF at : {QPointF(20, 10), QPointF(20.25, 10.75), QPointF(20.5, 10.5)}) {
            dot->setX(at.x());
            dot->setY(at.y());
            canvas.update();
            const QImage picture = view.grab().toImage();
            QRect covered;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    if (picture.pixel(x, y) == qRgb(0, 0, 0))
                        covered |= QRect(x, y, 1, 1);
            // Whole pixels cannot centre a 3 x 3 square exactly; half a pixel is as near as any.
            QVERIFY(covered.width() <= 3 && covered.height() <= 3);
            QVERIFY(qAbs(QRectF(covered).center().x() - at.x()) <= 0.5);
            QVERIFY(qAbs(QRectF(covered).center().y() - at.y()) <= 0.5);
        }
    }

    void paintsTheSameThroughAPainter()
    {
        // Into a device it cannot copy to, the view has the painter draw the picture instead.
        Canvas canvas;
        canvas.resize(30, 20);
        dotAt(canvas, 10.5f, 10.5f);
        dotAt(canvas, 28.25f, 18.75f)->setColor(QColor(0, 0, 255, 128));  // over the edge
        CanvasView view;
        view.setCanvas(&canvas);
        view.resize(40, 25);
        const QImage copied = view.grab().toImage().convertToFormat(QImage::Format_RGB888);
        QImage painted(view.size(), QImage::Format_RGB888);
        view.render(&painted);
        QCOMPARE(painted, copied);
        QCOMPARE(copied.pixel(10, 10), qRgb(0, 0, 0));
        QCOMPARE(copied.pixel(28, 18), qRgb(127, 127, 255));
        QCOMPARE(copied.pixel(31, 18), view.palette().window().color().rgb());
    }

    void viewOutlivesItsCanvas()
    {
        auto canvas = std::make_unique<Canvas>();
        canvas->resize(40, 40);
        dotAt(*canvas, 20, 20);
        CanvasView view;
        view.setCanvas(canvas.get());
        canvas.reset();
        QCOMPARE(view.canvas(), nullptr);
        view.resize(40, 40);
        QCOMPARE(view.grab().toImage().pixel(20, 20), view.palette().window().color().rgb());
    }
};

QTEST_MAIN(CanvasTest)
#include "canvas_test.moc"
