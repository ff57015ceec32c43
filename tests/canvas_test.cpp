#include "canvas.h"
#include "canvas_ellipse.h"
#include "canvas_view.h"
#include "on_screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <random>
#include <vector>

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

// What a view must show: the canvas drawn afresh from its items at the top-left, the view's
// own background beyond it.
QImage drawnAfresh(const Canvas& canvas, const CanvasView& view, const QImage& shown)
{
    QImage expected(shown.size(), QImage::Format_RGB32);
    expected.fill(view.palette().window().color().rgb());
    const QImage picture = canvas.toImage(shown.devicePixelRatio());
    const int width = std::min(picture.width(), expected.width());
    for (int y = 0; y < std::min(picture.height(), expected.height()); ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), width,
                    reinterpret_cast<QRgb*>(expected.scanLine(y)));
    return expected;
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

    void incrementalPictureIsTheCanvasDrawnAfresh()
    {
        // Random steps, each a few changes then a tick's update and repaint, after which the
        // window must show exactly what the canvas draws afresh at the window's ratio. Small, so
        // that many items sit on the edges of the chunks they are filed in. JB_CANVAS_SEED=N
        // runs another sequence.
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.size() < 3)
            QSKIP("needs the offscreen screens of tests/screens.json");
        const unsigned seed = qEnvironmentVariableIsSet("JB_CANVAS_SEED")
            ? qEnvironmentVariableIntValue("JB_CANVAS_SEED") : 1;
        std::mt19937 random(seed);
        const auto below = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };

        Canvas canvas;
        canvas.resize(100, 70);
        CanvasView view;
        view.setCanvas(&canvas);
        view.resize(110, 80);
        QScreen* screen = screens[0];
        view.move(screen->geometry().topLeft() + QPoint(20, 20));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        qreal ratio = screen->devicePixelRatio();
        QCOMPARE(onScreen(view).size(), view.size() * ratio);
        std::vector<CanvasEllipse*> items;

        // A new coordinate: mostly a dot's step in a tick; often an item's edge within a pixel
        // of a chunk's edge at this ratio; now and then anywhere on or beside the canvas, or
        // where no canvas reaches.
        const auto place = [&](float now, int length, int extent) -> float {
            const int how = below(16);
            if (how < 5) {
                const float edge = 32.0f * (1 + below(static_cast<int>(extent * ratio / 32))) / float(ratio);
                return edge + (below(2) ? 0.5f : -0.5f) * length + (below(33) - 16) / 16.0f;
            }
            if (how < 7)
                return (below((extent + 20) * 64) - 10 * 64) / 64.0f;
            if (how < 8)
                return std::array{std::numeric_limits<float>::quiet_NaN(),
                                  std::numeric_limits<float>::infinity(), -1e30f, 3e9f}[below(4)];
            return now + (below(17) - 8) / 8.0f;
        };
        const auto colour = [&]() {
            const int alpha = below(3) == 0 ? below(256) : 255;
            return QColor(below(256), below(256), below(256), alpha);
        };
        const auto add = [&]() {
            auto* item = new CanvasEllipse(1 + below(8), 1 + below(8), &canvas);
            item->setX(below(100 * 16) / 16.0f);
            item->setY(below(70 * 16) / 16.0f);
            item->setColor(colour());
            item->show();
            items.push_back(item);
        };
        for (int i = 0; i < 24; ++i)
            add();

        for (int step = 0; step < 5000; ++step) {
            QStringList did;
            for (int change = 1 + below(3); change > 0; --change) {
                const int what = below(100);
                const int index = items.empty() ? -1 : below(int(items.size()));
                CanvasEllipse* item = index < 0 ? nullptr : items[index];
                const auto which = [&] {
                    return QStringLiteral("item %1 (%2 x %3)").arg(index).arg(item->width()).arg(
                        item->height());
                };
                if (what < 60 && item != nullptr) {
                    item->setX(place(item->x(), item->width(), canvas.width()));
                    item->setY(place(item->y(), item->height(), canvas.height()));
                    did << QStringLiteral("%1 to (%2, %3)").arg(which()).arg(item->x()).arg(item->y());
                } else if (what < 72 && item != nullptr) {
                    item->isVisible() ? item->hide() : item->show();
                    did << which() + (item->isVisible() ? " shown" : " hidden");
                } else if (what < 84 && item != nullptr) {
                    item->setColor(colour());
                    did << which() + " " + item->color().name(QColor::HexArgb);
                } else if (what < 91 && items.size() < 40) {
                    add();
                    did << "added";
                } else if (what < 98 && item != nullptr) {
                    did << which() + " deleted";
                    std::erase(items, item);
                    delete item;
                } else if (what < 99) {
                    canvas.setBackgroundColor(colour());
                    did << "background " + canvas.backgroundColor().name();
                } else {
                    // Dragged to a screen of another ratio, as a desktop moves it.
                    QScreen* to;
                    do
                        to = screens[below(int(screens.size()))];
                    while (to->devicePixelRatio() == screen->devicePixelRatio());
                    screen = to;
                    view.move(screen->geometry().topLeft() + QPoint(20, 20));
                    QCoreApplication::processEvents();
                    QCOMPARE(onScreen(view).devicePixelRatio(), screen->devicePixelRatio());
                    ratio = screen->devicePixelRatio();
                    did << QStringLiteral("to ratio %1").arg(ratio);
                }
            }
            canvas.update();
            QCoreApplication::processEvents();
            const QImage shown = onScreen(view).convertToFormat(QImage::Format_RGB32);
            const QImage expected = drawnAfresh(canvas, view, shown);
            if (shown == expected)
                continue;
            int at = 0;
            while (shown.pixel(at % shown.width(), at / shown.width())
                   == expected.pixel(at % shown.width(), at / shown.width()))
                ++at;
            const QPoint pixel(at % shown.width(), at / shown.width());
            QFAIL(qPrintable(QStringLiteral("seed %1, step %2 (%3) at ratio %4: device pixel (%5, %6) "
                                            "shows %7, drawn afresh %8")
                                 .arg(seed).arg(step).arg(did.join("; ")).arg(ratio)
                                 .arg(pixel.x()).arg(pixel.y())
                                 .arg(shown.pixel(pixel), 8, 16).arg(expected.pixel(pixel), 8, 16)));
        }
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
