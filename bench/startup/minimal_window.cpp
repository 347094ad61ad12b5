// The yardstick of the start-up benchmark: a Qt program that shows one empty
// window, noting the moment it was shown and quitting, like the probe.
#include "bench/startup/bench_clock.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class Window : public QWidget {
protected:
    void showEvent(QShowEvent*) override
    {
        if (shown_)
            return;
        shown_ = true;
        QTimer::singleShot(0, qApp, [] {
            qismar::bench::reportShown();
            QCoreApplication::quit();
        });
    }
private:
    bool shown_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Window window;
    window.show();
    return app.exec();
}
