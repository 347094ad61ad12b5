// The "كيف يرث؟" mode and the lookup of an article of the law in qanoon.txt.
#include "entry/law_excerpts.h"

#include <QCursor>
#include <QFileInfo>
#include <QHash>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <algorithm>

#include "entry/law_excerpt_window.h"
#include "ui/data_files.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

namespace qismar {

namespace {

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

HowInheritsMode::HowInheritsMode() = default;
HowInheritsMode::~HowInheritsMode() = default;

void HowInheritsMode::forgetDeleted()
{
    std::erase_if(marked_, [](const Marked& m) { return m.widget.isNull(); });
}

void HowInheritsMode::markForHelpCursor(QWidget* widget)
{
    forgetDeleted();
    marked_.push_back({widget, widget->testAttribute(Qt::WA_SetCursor), widget->cursor()});
    if (on_)
        widget->setCursor(Qt::WhatsThisCursor);
}

namespace {

class ExcerptOnClick : public QObject {
public:
    ExcerptOnClick(QWidget* control, HowInheritsMode& mode, QString beginLine, QString endLine)
        : QObject(control), mode_(mode), beginLine_(std::move(beginLine)), endLine_(std::move(endLine)) {}
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* control = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && control->rect().contains(mouse->position().toPoint()))
                ui::guarded([&] { mode_.showExcerpt(beginLine_, endLine_); });
        }
        return false;
    }
private:
    HowInheritsMode& mode_;
    QString beginLine_, endLine_;
};

}  // namespace

void HowInheritsMode::showExcerptOnClick(QWidget* control, const QString& beginLine, const QString& endLine)
{
    control->installEventFilter(new ExcerptOnClick(control, *this, beginLine, endLine));
}

void HowInheritsMode::start()
{
    forgetDeleted();
    on_ = true;
    for (const Marked& m : marked_)
        m.widget->setCursor(Qt::WhatsThisCursor);
    emit changed(true);
}

void HowInheritsMode::end()
{
    forgetDeleted();
    for (const Marked& m : marked_) {
        if (m.ownCursor)
            m.widget->setCursor(m.cursor);
        else
            m.widget->unsetCursor();
    }
    on_ = false;
    emit changed(false);
}

LawExcerptWindow& HowInheritsMode::excerptWindow()
{
    if (!window_)
        window_ = std::make_unique<LawExcerptWindow>();
    return *window_;
}

void HowInheritsMode::showExcerpt(const QString& beginLine, const QString& endLine)
{
    if (!on_)
        return;
    // The mode is over before anything is read, whatever happens next.
    end();
    if (window_)
        window_->excerptText->clear();

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

    LawExcerptWindow& window = excerptWindow();
    window.excerptText->setPlainText(ui::breakLongLines(excerpt.join(QLatin1Char('\n'))));
    window.excerptText->moveCursor(QTextCursor::Start);
    window.exec();
}

}  // namespace qismar
