#include "tools/WindowShots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTextStream>
#include <QWidget>
#include <QWindow>

namespace {

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Lets queued paints and the window manager's frame drawing settle.
void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(10);
    }
}

bool savePixmap(const QPixmap& pixmap, const QString& path)
{
    if (pixmap.isNull() || !pixmap.save(path, "PNG")) {
        err() << "m2bus-shots: could not save " << path << Qt::endl;
        return false;
    }
    return true;
}

// A window manager reparents a window into its frame a little after the
// window is exposed. Without one, or when Qt is not told the frame's size,
// the frame never differs from the window, so the wait is bounded.
void waitForFrame(const QWidget& window)
{
    QElapsedTimer timer;
    timer.start();
    while (window.frameGeometry() == window.geometry() && timer.elapsed() < 3000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(10);
    }
}

bool shootOne(const WindowShot& shot, const QDir& outDir, bool keepShown)
{
    QWidget* window = shot.window ? shot.window() : nullptr;
    if (!window) {
        err() << "m2bus-shots: " << shot.name << " was not created" << Qt::endl;
        return false;
    }
    if (shot.fill)
        shot.fill();
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window, 5000)) {
        err() << "m2bus-shots: " << shot.name << " never became exposed" << Qt::endl;
        window->hide();
        return false;
    }
    waitForFrame(*window);
    window->repaint();
    settle(300);

    bool ok = savePixmap(window->grab(), outDir.filePath(shot.name + ".png"));
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    ok = savePixmap(screen->grabWindow(0), outDir.filePath(shot.name + "-screen.png")) && ok;
    if (ok) {
        const QRect frame = window->frameGeometry();
        QTextStream(stdout) << shot.name << ": client " << window->width() << "x" << window->height() << ", frame "
                            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
                            << Qt::endl;
    }
    if (!keepShown) {
        window->hide();
        settle(100);
    }
    return ok;
}

} // namespace

int SaveWindowShots(const std::vector<WindowShot>& shots, const QDir& outDir)
{
    // The first window (the main window) stays up, so the others open over it
    // and find their places as they do in a session.
    int failures = 0;
    for (std::size_t i = 0; i < shots.size(); ++i)
        if (!shootOne(shots[i], outDir, i == 0))
            ++failures;
    return failures;
}
