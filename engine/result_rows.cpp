#include "engine/result_rows.h"

namespace qismar {

namespace {

constexpr RowInfo kRows[kHeirCount] = {
    {"n1", 1, "\u0627\u0644\u0632\u0648\u062C"},                                    // الزوج
    {"n2", 2, "\u0644\u0643\u0644 \u0632\u0648\u062C\u0629"},                       // لكل زوجة
    {"n3", 3, "\u0627\u0644\u0623\u0628"},                                          // الأب
    {"n4", 4, "\u0627\u0644\u0623\u0645"},                                          // الأم
    {"n5", 5, "\u0644\u0643\u0644 \u0627\u0628\u0646 "},                            // لكل ابن + blank
    {"n6", 6, "\u0644\u0643\u0644 \u0628\u0646\u062A"},                             // لكل بنت
    {"n7", 7, "\u0644\u0643\u0644 \u0627\u0628\u0646 \u0627\u0628\u0646 "},         // لكل ابن ابن + blank
    {"n8", 8, "\u0644\u0643\u0644 \u0628\u0646\u062A \u0627\u0628\u0646"},          // لكل بنت ابن
    {"n9", 9, "\u0644\u0643\u0644 \u0623\u062E \u0634\u0642\u064A\u0642 "},         // لكل أخ شقيق + blank
    {"n10", 10, "\u0644\u0643\u0644 \u0623\u062E\u062A \u0634\u0642\u064A\u0642\u0629"},  // لكل أخت شقيقة
    {"n11", 11, "\u0627\u0644\u062C\u062F"},                                        // الجد
    {"n12", 12, "\u0644\u0643\u0644 \u0623\u062E \u0623\u0648 \u0623\u062E\u062A \u0644\u0623\u0645"},  // لكل أخ أو أخت لأم
    {"n13", 13, " \u0627\u0644\u062C\u062F\u0629 \u0623\u0645 \u0627\u0644\u0623\u0645"},  // blank + الجدة أم الأم
    {"n14", 14, "\u0627\u0644\u062C\u062F\u0629 \u0623\u0645 \u0627\u0644\u0623\u0628"},   // الجدة أم الأب
    {"n15", 15, "\u0627\u0644\u0623\u062E\u062A \u0644\u0623\u0628"},               // الأخت لأب
    {"n16", 16, "\u0623\u062E \u0644\u0623\u0628"},                                 // أخ لأب
    {"n17", 17, "\u0627\u0628\u0646 \u0627\u0644\u0623\u062E \u0627\u0644\u0634\u0642\u064A\u0642"},  // ابن الأخ الشقيق
    {"n18", 18, "\u0627\u0628\u0646 \u0627\u0644\u0623\u062E \u0644\u0623\u0628"},  // ابن الأخ لأب
    {"n19", 19, "\u0639\u0645 \u0634\u0642\u064A\u0642"},                           // عم شقيق
    {"n20", 20, "\u0639\u0645 \u0644\u0623\u0628"},                                 // عم لأب
    {"n21", 21, "\u0627\u0628\u0646 \u0639\u0645 \u0634\u0642\u064A\u0642"},        // ابن عم شقيق
    {"edtNebnAmLiAb", 22, "\u0627\u0628\u0646 \u0639\u0645 \u0644\u0623\u0628"},    // ابن عم لأب
    {"n24", 24, "\u0623\u0645 \u0623\u0645 \u0627\u0644\u0623\u0645"},              // أم أم الأم
    {"n25", 25, "\u0623\u0645 \u0623\u0645 \u0627\u0644\u0623\u0628"},              // أم أم الأب
    {"n26", 26, "\u0623\u0645 \u0623\u0628\u0648 \u0627\u0644\u0623\u0628"},        // أم أبو الأب
    {"n27", 27, "\u0628\u0646\u062A \u0627\u0628\u0646 \u0627\u0644\u0627\u0628\u0646"},  // بنت ابن الابن
    {"n28", 28, "\u0627\u0628\u0646 \u0627\u0628\u0646 \u0627\u0644\u0627\u0628\u0646"},  // ابن ابن الابن
};

}  // namespace

const RowInfo& rowInfo(Heir row) noexcept
{
    return kRows[index(row)];
}

std::string RowText::text() const
{
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::NothingForHim:
        return std::string(kNothingForHim);
    case Kind::Amount:
        return formatAmount(amount);
    }
    return {};
}

RowText RowText::parse(std::string_view text)
{
    if (text.empty())
        return empty();
    if (text == kNothingForHim)
        return nothingForHim();
    return of(parseAmount(text));
}

Currency AmountOfRowText(std::string_view text)
{
    return RowText::parse(text).value();
}

bool CountIsNonZero(std::string_view text)
{
    return parseAmount(text).whole() != 0;
}

}  // namespace qismar
