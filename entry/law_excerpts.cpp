// The "كيف يرث؟" mode, the lookup of a law excerpt in qanoon.txt and the
// information window that shows it.
#include <QCursor>
#include <QHash>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextOption>
#include <vector>

#include "ui/data_files.h"
#include "entry/entry_windows.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "entry/law_excerpts.h"
#include "ui/ui_common.h"
#include "ui/picture.h"
#include <QMouseEvent>

namespace qismar {

namespace {

bool modeOn = false;
int lookupsSuppressed = 0;

// A window or control that shows the help cursor while the mode is on, with
// the cursor it had of its own before.
struct Marked {
    QPointer<QWidget> widget;
    bool ownCursor = false;
    QCursor cursor;
};

std::vector<Marked>& markedWidgets()
{
    static std::vector<Marked> marked;
    return marked;
}

void forgetDeleted()
{
    auto& marked = markedWidgets();
    std::erase_if(marked, [](const Marked& m) { return m.widget.isNull(); });
}

// The excerpt file, read once and indexed by line; read again only when the
// file on disk changes (another modification time, size or inode) or
// another file answers for the name.
struct ExcerptIndex {
    QString path;
    ui::FileStamp stamp;
    QStringList lines;
    // Where each distinct line stands, in file order.
    QHash<QString, QList<qsizetype>> positions;
};

ExcerptIndex& excerptIndex()
{
    static ExcerptIndex index;
    return index;
}

const ExcerptIndex& currentExcerpts()
{
    const QString name = QString::fromLatin1(kLawExcerptFile);
    const QString path = QFileInfo(ui::dataFilePath(name)).absoluteFilePath();
    ExcerptIndex& index = excerptIndex();
    const ui::FileStamp now = ui::stampOf(path);
    if (index.path == path && index.stamp == now && now.size >= 0)
        return index;

    index = ExcerptIndex{};
    ui::FileBytes file = ui::readDataFile(name);
    // Every line end (CR LF, LF or a lone CR) becomes "\n"; a line end at
    // the very end of the file does not start another line.
    const QString text = ui::decodeCp1256(file.bytes);
    file.bytes.clear();
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.isEmpty() || text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    QHash<QString, QList<qsizetype>> positions;
    for (qsizetype i = 0; i < lines.size(); ++i)
        positions[lines[i]].append(i);
    index.lines = std::move(lines);
    index.positions = std::move(positions);
    index.stamp = file.stamp;
    index.path = path;
    return index;
}

}  // namespace

void markForHelpCursor(QWidget* widget)
{
    forgetDeleted();
    markedWidgets().push_back({widget, widget->testAttribute(Qt::WA_SetCursor), widget->cursor()});
    if (modeOn)
        widget->setCursor(Qt::WhatsThisCursor);
}

LookupsSuppressed::LookupsSuppressed() { ++lookupsSuppressed; }
LookupsSuppressed::~LookupsSuppressed() { --lookupsSuppressed; }

namespace {

class ExcerptOnClick : public QObject {
public:
    ExcerptOnClick(QWidget* control, QString beginLine, QString endLine)
        : QObject(control), beginLine_(std::move(beginLine)), endLine_(std::move(endLine)) {}
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* control = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && control->rect().contains(mouse->position().toPoint()))
                ui::guarded([&] { ShowLawExcerpt(beginLine_, endLine_); });
        }
        return false;
    }
private:
    QString beginLine_, endLine_;
};

}  // namespace

void showExcerptOnClick(QWidget* control, const QString& beginLine, const QString& endLine)
{
    control->installEventFilter(new ExcerptOnClick(control, beginLine, endLine));
}

bool HowInheritsMode() noexcept { return modeOn; }

void StartHowInheritsMode()
{
    forgetDeleted();
    modeOn = true;
    for (const Marked& m : markedWidgets())
        m.widget->setCursor(Qt::WhatsThisCursor);
    if (fmMain)
        fmMain->howInheritsModeChanged(true);
}

void EndHowInheritsMode()
{
    forgetDeleted();
    for (const Marked& m : markedWidgets()) {
        if (m.ownCursor)
            m.widget->setCursor(m.cursor);
        else
            m.widget->unsetCursor();
    }
    modeOn = false;
    if (fmMain)
        fmMain->howInheritsModeChanged(false);
}

void ShowLawExcerpt(const QString& beginLine, const QString& endLine)
{
    if (!modeOn || lookupsSuppressed > 0)
        return;
    // The mode is over before anything is read, whatever happens next.
    EndHowInheritsMode();
    Treport* window = report;
    if (window)
        window->Memo1->clear();

    const ExcerptIndex& index = currentExcerpts();
    const auto begins = index.positions.constFind(beginLine);
    if (begins == index.positions.constEnd())
        throw ui::UiError(QStringLiteral("لا يوجد في الملف %1 نص هذه المادة (السطر «%2»)")
                              .arg(QString::fromLatin1(kLawExcerptFile), beginLine));
    const qsizetype begin = begins->constFirst();
    // The first end line after the begin line; without one the excerpt runs
    // to the end of the file.
    qsizetype end = index.lines.size();
    if (const auto ends = index.positions.constFind(endLine); ends != index.positions.constEnd()) {
        const auto after = std::upper_bound(ends->cbegin(), ends->cend(), begin);
        if (after != ends->cend())
            end = *after;
    }
    const QStringList excerpt = index.lines.mid(begin + 1, end - begin - 1);

    if (!window)
        throw ui::UiError(QStringLiteral("نافذة المعلومات غير موجودة"));
    window->Memo1->setPlainText(ui::breakLongLines(excerpt.join(QLatin1Char('\n'))));
    window->Memo1->moveCursor(QTextCursor::Start);
    window->exec();
}

}  // namespace qismar
