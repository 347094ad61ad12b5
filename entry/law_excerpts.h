// Qismar: the mode of the button "كيف يرث؟" and the lookup of the articles
// of the law in qanoon.txt, shared by the entry window and its dialogs.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace qismar {

class LawExcerptWindow;

// The name of the excerpt file.
inline constexpr const char* kLawExcerptFile = "qanoon.txt";

// The mode started by "كيف يرث؟": while it is on, the windows and controls
// marked for it show the help cursor, and a click on a relative asks for
// his article of the law instead of doing what it usually does. The entry
// window owns the one mode of its case; its dialogs are given it.
class HowInheritsMode : public QObject {
    Q_OBJECT
public:
    HowInheritsMode();
    ~HowInheritsMode() override;

    bool isOn() const noexcept { return on_; }
    // Turns the mode on and gives the marked windows and controls the help cursor.
    void start();
    // Gives the marked windows and controls their own cursor back and turns the mode off.
    void end();

    // In the mode: ends it, finds the excerpt between the line `beginLine`
    // and the line `endLine` of qanoon.txt (Windows-1256, looked up as every
    // data file; read once and indexed, and read again only when it changes
    // on disk) and shows it modally in the information window. Outside the
    // mode it does nothing. Throws ui::UiError when the file cannot be read
    // or holds no such excerpt; the mode is over and the window is not shown
    // then.
    void showExcerpt(const QString& beginLine, const QString& endLine);

    // Marks a window or a control for the help cursor of the mode.
    void markForHelpCursor(QWidget* widget);
    // A click (left button released over it) on `control` asks for the
    // excerpt between `beginLine` and `endLine`; outside the mode the click
    // keeps its usual meaning.
    void showExcerptOnClick(QWidget* control, const QString& beginLine, const QString& endLine);

    // The information window (made the first time it is asked for).
    LawExcerptWindow& excerptWindow();

signals:
    // The mode was turned on or off.
    void changed(bool on);

private:
    // A window or control that shows the help cursor while the mode is on,
    // with the cursor it had of its own before.
    struct Marked {
        QPointer<QWidget> widget;
        bool ownCursor = false;
        QCursor cursor;
    };
    void forgetDeleted();

    bool on_ = false;
    std::vector<Marked> marked_;
    std::unique_ptr<LawExcerptWindow> window_;
};

}  // namespace qismar
