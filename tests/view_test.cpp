#include "canvas.h"
#include "canvas_ellipse.h"
#include "on_screen.h"
#include "jbnode.h"
#include "lattice.h"
#include "qjellybox.h"
#include "shared_state.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtMath>

#include <memory>

namespace {

// Records the keys its child view passes on.
class KeyCatcher : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys.append(e->key()); }
};

// What the window must show, worked out apart from the canvas: at each device pixel the window's
// background, the canvas's white over its 780 x 580, then every dot in drawing order wherever
// the pixel's centre lies inside its ellipse.
QImage expectedPicture(const QJellyBox& box, qreal ratio)
{
    QImage expected(qRound(800 * ratio), qRound(600 * ratio), QImage::Format_RGB32);
    expected.setDevicePixelRatio(ratio);
    expected.fill(box.palette().window().color());
    const QRect canvas(0, 0, qRound(780 * ratio), qRound(580 * ratio));
    for (int y = canvas.top(); y <= canvas.bottom(); ++y)
        for (int x = canvas.left(); x <= canvas.right(); ++x)
            expected.setPixel(x, y, qRgb(255, 255, 255));
    for (const CanvasEllipse* dot : JBCanvas->items()) {
        if (!dot->isVisible())
            continue;
        const double cx = dot->x() * ratio, cy = dot->y() * ratio;
        const double a = dot->width() / 2.0 * ratio, b = dot->height() / 2.0 * ratio;
        for (int y = qFloor(cy - b); y <= qCeil(cy + b); ++y)
            for (int x = qFloor(cx - a); x <= qCeil(cx + a); ++x) {
                const double dx = (x + 0.5 - cx) / a, dy = (y + 0.5 - cy) / b;
                if (dx * dx + dy * dy < 1 && canvas.contains(x, y))
                    expected.setPixel(x, y, dot->color().rgb());
            }
    }
    return expected;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        box = std::make_unique<QJellyBox>();
        box->findChild<QTimer*>()->stop();
        xSpy = std::make_unique<QSignalSpy>(box.get(), &QJellyBox::xAngleChanged);
        ySpy = std::make_unique<QSignalSpy>(box.get(), &QJellyBox::yAngleChanged);
    }
    void cleanup()
    {
        xSpy.reset();
        ySpy.reset();
        box.reset();
    }

    void constructionStartsUnturned()
    {
        box.reset();
        xang = 33;
        yang = -12;
        QJellyBox fresh;
        QCOMPARE(xang, 0);
        QCOMPARE(yang, 0);
    }

    void wrapRuleJumpsToTheOtherEnd_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("stored");
        QTest::newRow("in range") << 0 << 170 << 170;
        QTest::newRow("same value is no change") << 170 << 170 << 170;
        QTest::newRow("jump onto the current end is no change") << -180 << 1000 << -180;
        QTest::newRow("180 is valid") << 0 << 180 << 180;
        QTest::newRow("-180 is valid") << 0 << -180 << -180;
        QTest::newRow("one past 180") << 180 << 181 << -180;
        QTest::newRow("one past -180") << -180 << -181 << 180;
        QTest::newRow("far above is a jump, not a modulo") << 170 << 230 << -180;
        QTest::newRow("far above") << 0 << 1000 << -180;
        QTest::newRow("far below") << 0 << -1000 << 180;
    }
    void wrapRuleJumpsToTheOtherEnd()
    {
        QFETCH(int, start);
        QFETCH(int, requested);
        QFETCH(int, stored);
        for (auto [set, angle, spy] : {std::tuple{&QJellyBox::setXAngle, &xang, xSpy.get()},
                                       std::tuple{&QJellyBox::setYAngle, &yang, ySpy.get()}}) {
            (box.get()->*set)(start);
            spy->clear();
            (box.get()->*set)(requested);
            QCOMPARE(*angle, stored);
            QCOMPARE(spy->count(), stored == start ? 0 : 1);
            if (stored != start)
                QCOMPARE(spy->takeFirst().at(0).toInt(), stored);
        }
    }

    void arrowsTurnAboutTheVerticalAxis()
    {
        QTest::keyClick(box.get(), Qt::Key_Left);
        QCOMPARE(xang, 1);
        QTest::keyClick(box.get(), Qt::Key_Right);
        QTest::keyClick(box.get(), Qt::Key_Right);
        QCOMPARE(xang, -1);
        QTest::keyClick(box.get(), Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(xang, 0);
        QCOMPARE(yang, 0);
        QCOMPARE(xSpy->count(), 4);
    }

    void arrowsWrapAtTheHalfTurn()
    {
        box->setXAngle(-180);
        xSpy->clear();
        QTest::keyClick(box.get(), Qt::Key_Right);
        QCOMPARE(xang, 180);
        QCOMPARE(xSpy->takeFirst().at(0).toInt(), 180);
        QTest::keyClick(box.get(), Qt::Key_Left);
        QCOMPARE(xang, -180);
        QCOMPARE(xSpy->takeFirst().at(0).toInt(), -180);
    }

    void otherKeysGoToTheParent()
    {
        KeyCatcher parent;
        auto* child = new QJellyBox(&parent);
        child->findChild<QTimer*>()->stop();
        QSignalSpy childX(child, &QJellyBox::xAngleChanged);
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_A, Qt::Key_Space, Qt::Key_Left})
            QTest::keyClick(child, key);
        QCOMPARE(parent.keys, (QList<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_A, Qt::Key_Space}));
        QCOMPARE(xang, 1);
        QCOMPARE(yang, 0);
        QCOMPARE(childX.count(), 1);
    }

    void dragTurnsBothAngles()
    {
        QWidget* surface = box.get();
        sendMouse(surface, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(xSpy->count(), 0);
        sendMouse(surface, QEvent::MouseMove, {110, 95}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(xang, 10);
        QCOMPARE(yang, 5);
        QCOMPARE(xSpy->count(), 1);
        QCOMPARE(ySpy->count(), 1);
        // The next step measures from where the last one ended.
        sendMouse(surface, QEvent::MouseMove, {107, 95}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(xang, 7);
        QCOMPARE(yang, 5);
        QCOMPARE(ySpy->count(), 1);
        // Any button drags; down the screen turns yang down.
        sendMouse(surface, QEvent::MouseButtonPress, {300, 200}, Qt::RightButton, Qt::RightButton);
        sendMouse(surface, QEvent::MouseMove, {300, 260}, Qt::NoButton, Qt::RightButton);
        QCOMPARE(xang, 7);
        QCOMPARE(yang, -55);
    }

    void hoverTurnsNothingEvenWithTracking()
    {
        QWidget* surface = box.get();
        surface->setMouseTracking(true);
        sendMouse(surface, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(surface, QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton, Qt::NoButton);
        sendMouse(surface, QEvent::MouseMove, {250, 40}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(xang, 0);
        QCOMPARE(yang, 0);
        QCOMPARE(xSpy->count() + ySpy->count(), 0);
        // A hover does not move the drag's starting point either.
        sendMouse(surface, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(surface, QEvent::MouseMove, {101, 100}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(xang, 1);
        QCOMPARE(yang, 0);
    }

    void doubleClickRecordsThePointerLikeAPress()
    {
        QWidget* surface = box.get();
        sendMouse(surface, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(surface, QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton, Qt::NoButton);
        sendMouse(surface, QEvent::MouseButtonDblClick, {104, 100}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(surface, QEvent::MouseMove, {105, 100}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(xang, 1);
    }

    void incrementalRepaintsLeaveNoGhosts()
    {
        // Each tick redraws and repaints only where dots moved. After many, with turns and drags
        // between them, the window must show the state exactly, on every screen and its ratio.
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QTimer* timer = box->findChild<QTimer*>();
        for (QScreen* screen : QGuiApplication::screens()) {
            box->move(screen->geometry().topLeft() + QPoint(40, 30));
            for (int t = 0; t < 150; ++t) {
                if (t % 7 == 0)
                    QTest::keyClick(box.get(), t % 2 == 0 ? Qt::Key_Left : Qt::Key_Right);
                if (t % 50 == 25) {
                    sendMouse(box.get(), QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton, Qt::LeftButton);
                    sendMouse(box.get(), QEvent::MouseMove, {330, 280}, Qt::NoButton, Qt::LeftButton);
                }
                QMetaObject::invokeMethod(timer, "timeout");
                QCoreApplication::processEvents();
            }
            QCOMPARE(box->screen(), screen);
            QCOMPARE(onScreen(*box).convertToFormat(QImage::Format_RGB32),
                     expectedPicture(*box, screen->devicePixelRatio()));
        }
        QVERIFY(xang != 0 && yang != 0);
    }

    void movedToAnotherScreenShowsItsRatioAtOnce()
    {
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.size() < 3)
            QSKIP("needs the offscreen screens of tests/screens.json");
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QTimer* timer = box->findChild<QTimer*>();
        QTest::keyClick(box.get(), Qt::Key_Left);
        for (int t = 0; t < 20; ++t)
            QMetaObject::invokeMethod(timer, "timeout");
        // Dragged from each ratio to each other one. The timer stays stopped: no tick repaints
        // what moved, the move alone must redraw it all, crisp at the new ratio.
        for (QScreen* screen : {screens[1], screens[2], screens[0], screens[2], screens[1], screens[0]}) {
            box->move(screen->geometry().topLeft() + QPoint(40, 30));
            QCoreApplication::processEvents();
            QCOMPARE(box->screen(), screen);
            QCOMPARE(onScreen(*box).devicePixelRatio(), screen->devicePixelRatio());
            QCOMPARE(onScreen(*box).convertToFormat(QImage::Format_RGB32),
                     expectedPicture(*box, screen->devicePixelRatio()));
        }
    }

    void hiddenItKeepsTimeUndrawnAndShownAgainDrawsItsTickAtOnce()
    {
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QTimer* timer = box->findChild<QTimer*>();
        timer->start();
        QTest::qWait(50);
        box->hide();
        QTRY_VERIFY(!box->isSeen());
        const std::uint64_t hiddenAt = box->node(0)->ticks();
        const QPointF dot = box->node(444)->dotPos();
        box->setXAngle(25);  // takes effect when it is shown
        // The clock's ticks are taken about once a second.
        QTRY_VERIFY_WITH_TIMEOUT(box->node(0)->ticks() > hiddenAt + 50, 5000);
        QCOMPARE(box->node(444)->dotPos(), dot);

        box->show();
        QTRY_VERIFY(box->isSeen());
        timer->stop();
        QCoreApplication::processEvents();
        // A window that ticked all along, by its own timer: its nodes and its picture.
        const std::uint64_t ticks = box->node(0)->ticks();
        QJellyBox reference;
        reference.findChild<QTimer*>()->stop();
        QVERIFY(QTest::qWaitForWindowExposed(&reference));
        xang = 0;
        for (std::uint64_t t = 1; t <= ticks; ++t) {
            xang = t == ticks ? 25 : 0;
            QMetaObject::invokeMethod(reference.findChild<QTimer*>(), "timeout");
        }
        QCoreApplication::processEvents();
        for (int slot : latticeSlots) {
            QCOMPARE(box->node(slot)->ticks(), ticks);
            QCOMPARE(box->node(slot)->pos.x, reference.node(slot)->pos.x);
            QCOMPARE(box->node(slot)->pos.y, reference.node(slot)->pos.y);
            QCOMPARE(box->node(slot)->pos.z, reference.node(slot)->pos.z);
            QCOMPARE(box->node(slot)->vel.x, reference.node(slot)->vel.x);
            QCOMPARE(box->node(slot)->dotPos(), reference.node(slot)->dotPos());
        }
        QCOMPARE(onScreen(*box), onScreen(reference));
    }

    void windowIsFixedWithTheCanvasAtTheTopLeftAndATickingTimer()
    {
        QCOMPARE(box->size(), QSize(800, 600));
        QCOMPARE(box->minimumSize(), QSize(800, 600));
        QCOMPARE(box->maximumSize(), QSize(800, 600));
        QCOMPARE(box->canvas(), JBCanvas);
        QCOMPARE(JBCanvas->size(), QSize(780, 580));
        QCOMPARE(box->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(JBCanvas->items().size(), size_t(125));
        QVERIFY(box->isVisible());

        QJellyBox running;
        auto* timer = running.findChild<QTimer*>();
        QVERIFY(timer != nullptr);
        QVERIFY(timer->isActive());
        QVERIFY(!timer->isSingleShot());
        QCOMPARE(timer->interval(), 10);
    }

    void canvasGoesWithItsView()
    {
        box.reset();
        xSpy.reset();
        ySpy.reset();
        QCOMPARE(JBCanvas, nullptr);
    }

private:
    std::unique_ptr<QJellyBox> box;
    std::unique_ptr<QSignalSpy> xSpy;
    std::unique_ptr<QSignalSpy> ySpy;
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"
