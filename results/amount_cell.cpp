#include "results/amount_cell.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include "results/amount_text.h"

namespace qismar::results {

namespace {

// What a screen reader or an automated check reads of a box: its name, and
// the exact amount as its value.
class AccessibleAmountCell : public QAccessibleWidget {
public:
    explicit AccessibleAmountCell(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        const auto* cell = static_cast<const AmountCell*>(widget());
        switch (t) {
        case QAccessible::Value:
            return cell->exact();
        case QAccessible::Name:
            return cell->accessibleName().isEmpty() ? cell->exact() : cell->accessibleName();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* amountCellAccessible(const QString& className, QObject* object)
{
    if (object && object->isWidgetType() && className == QLatin1String(AmountCell::staticMetaObject.className()))
        return new AccessibleAmountCell(static_cast<QWidget*>(object));
    return nullptr;
}

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(amountCellAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace

AmountCell::AmountCell(QWidget* parent) : QLineEdit(parent)
{
    installAccessibleFactory();
    setReadOnly(true);
    setLayoutDirection(Qt::LeftToRight);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void AmountCell::setExact(const QString& exact, const QString& prefix)
{
    exact_ = prefix + exact;
    setText(prefix + groupedAmount(exact));
    setCursorPosition(0);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, exact_);
        QAccessible::updateAccessibility(&changed);
    }
}

void AmountCell::setAmount(const QString& shown, const QString& exact)
{
    exact_ = exact;
    setText(shown);
    setCursorPosition(0);
    setToolTip(QStringLiteral("المبلغ الدقيق: ") + exact);
    setAccessibleDescription(QStringLiteral("المبلغ الدقيق ") + exact);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, exact_);
        QAccessible::updateAccessibility(&changed);
    }
}

void AmountCell::clearExact()
{
    exact_.clear();
    clear();
    setToolTip(QString());
    setAccessibleDescription(QString());
}

void AmountCell::copyExact() const
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(exact_);
}

bool AmountCell::event(QEvent* event)
{
    // Ctrl+C belongs to the box while it has the focus, before any shortcut
    // of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void AmountCell::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyExact();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void AmountCell::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setLayoutDirection(Qt::RightToLeft);
    QAction* copy = menu.addAction(QStringLiteral("نسخ القيمة"));
    copy->setEnabled(!exact_.isEmpty());
    connect(copy, &QAction::triggered, this, &AmountCell::copyExact);
    menu.exec(event->globalPos());
}

}  // namespace qismar::results
