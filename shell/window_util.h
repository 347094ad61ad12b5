// Qismar: helpers the shell's windows share: modal showing, centring, and
// running a command so that its error ends up in the standard error box.
#pragma once

#include "ui_common.h"

#include <QString>
#include <exception>
#include <new>

class QWidget;

namespace qismar::ui {
class Picture;
}

namespace qismar::shell {

// The background picture of a shell window: stretched over the window and
// letting the mouse through to the window beneath.
ui::Picture* backgroundPicture(const QString& path, QWidget* window);

// Shows a window modally and returns when it is hidden again. A dialog runs
// its own exec(); any other window gets an application-modal nested loop.
void showModal(QWidget* window);

// Moves a top-level window to the centre of the screen it is on.
void centreOnScreen(QWidget* window);

// Runs one command; an error raised inside it abandons the rest of the
// command and is reported in the standard error box over `parent`.
template <class Command>
void runCommand(QWidget* parent, Command&& command)
{
    try {
        command();
    } catch (const ui::UiError& e) {
        ui::showErrorBox(e.message(), parent);
    } catch (const std::bad_alloc&) {
        ui::showErrorBox(QStringLiteral("لا تكفي الذاكرة لإتمام هذا الأمر"), parent);
    } catch (const std::exception& e) {
        ui::showErrorBox(QString::fromUtf8(e.what()), parent);
    }
}

}  // namespace qismar::shell
