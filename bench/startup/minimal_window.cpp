// The yardstick of the start-up benchmark: a Qt program that shows one empty
// window, noting the moments it was shown and its first frame drawn and
// quitting, like the probe.
#include "bench/startup/bench_clock.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Notes the moment the window was shown and, once its first exposure, which
// paints it, has been handled, the moment its first frame was drawn; then
// quits.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget* window) : window_(window) { window->installEventFilter(this); }
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            window_->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] { qismar::bench::reportShown(); });
            if (window_->windowHandle())
                window_->windowHandle()->installEventFilter(this);
        } else if (watched == window_->windowHandle() && event->type() == QEvent::Expose
                   && window_->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] {
                qismar::bench::reportDrawn();
                QCoreApplication::quit();
            });
        }
        return false;
    }
private:
    QWidget* window_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    FirstFrame firstFrame(&window);
    window.show();
    return app.exec();
}
