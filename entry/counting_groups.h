// Qismar: the classes of relatives that the entry window counts in a
// dialog of their own, as data: each dialog's caption, its count fields
// (each a case field of the heir table, with its Arabic name), its labels
// and where everything stands.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QSize>
#include <span>

#include "engine/estate_case.h"
#include "engine/heirs.h"

namespace qismar {

// The six classes counted in a dialog, each behind one box of the entry window.
enum class HeirGroup { Children, Grandchildren, Siblings, Nephews, Uncles, Cousins };
inline constexpr int kHeirGroupCount = 6;

// A count field of a dialog: the relative and which of his case fields it
// edits (the heir table gives the member of the case and its Arabic name,
// which is the field's accessible name and names it in error messages), its
// place, and the article of the law that a click on it asks for in the
// "كيف يرث؟" mode (the key "asbh" stands for the lines "asbh_b" ... "asbh_e"
// of the law file).
struct CountField {
    Heir heir;
    std::size_t field;  // in heirInfo(heir).caseFields()
    QRect place;
    const char* article;

    constexpr const CaseField& caseField() const { return heirInfo(heir).caseFields()[field]; }
    constexpr HeadCount EstateCase::*count() const { return caseField().count; }
    // The field's object name: its case field's name and "Count" ("sonsCount").
    QString objectName() const
    {
        return QString::fromLatin1(caseField().json.data(), qsizetype(caseField().json.size())) + QStringLiteral("Count");
    }
};

// A caption of a dialog (left and top of its text), a note in red across
// the dialog, or a caption that asks for an article like a field does.
struct DialogLabel {
    const char* objectName;
    const char* text;  // UTF-8
    QPoint place;
    const char* article = nullptr;
    bool note = false;
};

// A frame around some fields.
struct DialogFrame {
    const char* objectName;
    const char* caption;  // UTF-8
    QRect place;
};

struct CountingGroup {
    HeirGroup group;
    const char* objectName;  // the dialog's object name
    const char* caption;     // its title (UTF-8)
    QSize layoutSize;        // the outer size, frame included
    std::span<const CountField> fields;  // in the order of the tab key
    std::span<const DialogLabel> labels;
    std::span<const DialogFrame> frames;
    QRect doneButton;
    bool redDoneCaption;
    int doneButtonAfter;        // "تم" comes after this many fields in the tab order
    const char* pictureNotice;  // written into the guidance as the mouse moves over the picture (or null)
};

const CountingGroup& countingGroup(HeirGroup group);

// The persons of a class in a case: its counts added.
HeadCount groupTotal(const CountingGroup& group, const EstateCase& c);
// Sets every count of a class to zero.
void clearGroup(const CountingGroup& group, EstateCase& c);

}  // namespace qismar
