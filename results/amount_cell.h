// Qismar: a read-only box that shows an amount grouped for reading and
// hands out its exact text.
#pragma once

#include <QLineEdit>
#include <QString>

namespace qismar::results {

// Shows an amount or a percentage as the results show amounts (grouped),
// while copying it (Ctrl+C, its context menu) puts the exact text of the
// engine on the clipboard, and the accessibility interface reads that exact
// text as the box's value. A box that holds a word ("لا شيء له") shows and
// copies the word.
class AmountCell : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountCell(QWidget* parent = nullptr);

    // Sets the exact text; the box shows its grouped form. `prefix` goes in
    // front of both ("%" for a percentage).
    void setExact(const QString& exact, const QString& prefix = QString());
    // Shows `shown` (an amount to pay, rounded to the unit) and keeps the
    // engine's `exact` text: copied, read as the value, and said in the tip
    // and the accessible description.
    void setAmount(const QString& shown, const QString& exact);
    void clearExact();
    // The exact text, prefix included ("%42.8571", "8101851778.7812").
    const QString& exact() const noexcept { return exact_; }

    // Puts the exact text on the clipboard.
    void copyExact() const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString exact_;
};

}  // namespace qismar::results
