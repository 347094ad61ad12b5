#include "window_util.h"

#include "picture.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace qismar::shell {

namespace {

// Ends a nested loop as soon as the watched window is hidden or destroyed.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* window, QEventLoop* loop) : window_(window), loop_(loop) { window->installEventFilter(this); }
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Hide && !event->spontaneous())
            loop_->quit();
        return false;
    }
private:
    QObject* window_;
    QEventLoop* loop_;
};

}  // namespace

ui::Picture* backgroundPicture(const QString& path, QWidget* window)
{
    auto* picture = new ui::Picture(path, window);
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    return picture;
}

void showModal(QWidget* window)
{
    if (!window)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    QPointer<QWidget> guard(window);
    const Qt::WindowModality previous = window->windowModality();
    const bool wasVisible = window->isVisible();
    if (wasVisible)
        window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    HideWatcher watcher(window, &loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->removeEventFilter(&watcher);
        guard->setWindowModality(previous);
    }
}

void centreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

}  // namespace qismar::shell
