// The details of a case (the deceased's name, the date and place of death,
// a file number, the currency, the heirs' names): read and written with the
// case, checked the same way by the reader and the writer, and never part of
// what is divided.
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "casefile/case_file.h"
#include "cli/case_json.h"

namespace qismar {
namespace {

std::vector<std::string>& namesOf(CaseDetails& d, Heir heir) { return d.heirNames[static_cast<std::size_t>(index(heir))]; }

CaseRecord familyWithDetails()
{
    CaseRecord r;
    r.estate.estate = Currency::fromWhole(120000);
    r.estate.spouse = true;
    r.estate.wives = HeadCount(2);
    r.estate.sons = HeadCount(2);
    r.estate.daughters = HeadCount(1);
    r.estate.mother = true;
    r.estate.deriveEntryWindowState();
    r.details.name = "عبد الله محمد \"الأمين\"";
    r.details.dateOfDeath = "2024-02-29";
    r.details.place = "أم درمان";
    r.details.reference = "ق/123/2024";
    r.details.currency = "جنيه سوداني";
    namesOf(r.details, Heir::Sons) = {"محمد", "أحمد"};
    namesOf(r.details, Heir::Wives) = {"فاطمة"};  // fewer names than heads is allowed
    namesOf(r.details, Heir::Mother) = {"زينب"};
    return r;
}

TEST(CaseDetails, ReadBackAsWrittenAndLeaveTheDivisionAsItWas)
{
    const CaseRecord r = familyWithDetails();
    const std::string text = writeCaseObject(r);
    // The details come last, each text escaped as JSON.
    EXPECT_NE(text.find(R"("details": {"name": "عبد الله محمد \"الأمين\"", "dateOfDeath": "2024-02-29")"), std::string::npos)
        << text;
    EXPECT_NE(text.find(R"("heirNames": {"wives": ["فاطمة"], "mother": ["زينب"], "sons": ["محمد", "أحمد"]}}})"),
              std::string::npos)
        << text;
    CaseRecord back;
    CaseError error;
    ASSERT_TRUE(readCaseObject(text, back, error)) << error.message;
    EXPECT_EQ(back, r);

    // qismar-cli reads the details and divides exactly as without them.
    std::string with, without;
    cli::processLine(text, with);
    cli::processLine(writeCaseObject(r.estate), without);
    EXPECT_EQ(with, without);
    EXPECT_EQ(with.find("error"), std::string::npos) << with;

    // A case without details is written as before: no empty object.
    EXPECT_EQ(writeCaseObject(r.estate).find("details"), std::string::npos);
}

TEST(CaseDetails, EveryWrongDetailIsRefusedNamingItInEnglishAndArabic)
{
    const std::string base = R"({"estate": "1000", "sons": 2, "mother": true, "details": )";
    std::string twoHundredAndOne;
    for (int i = 0; i < 201; ++i)
        twoHundredAndOne += "ب";
    std::string twoHundred = twoHundredAndOne.substr(2);
    const struct {
        std::string details;
        std::string english;  // a part of the message
        std::string arabic;   // a part of the Arabic message
    } cases[] = {
        {R"({"dateOfDeath": "2023-02-29"})", "\"details.dateOfDeath\" must be a real date", "«تاريخ الوفاة»"},
        {R"({"dateOfDeath": "2024-13-01"})", "must be a real date", "تاريخاً صحيحاً"},
        {R"({"dateOfDeath": "16/03/2024"})", "must be a real date", "سنة-شهر-يوم"},
        {R"({"dateOfDeath": "2024-04-31"})", "must be a real date", "تاريخاً صحيحاً"},
        {R"({"name": ")" + twoHundredAndOne + R"("})", "\"details.name\" is longer than 200 characters", "«اسم المتوفى» أطول"},
        {R"({"place": "a\tb"})", "\"details.place\" holds a control character", "حرف تحكم"},
        {R"({"reference": "a\u0085b"})", "\"details.reference\" holds a control character", "حرف تحكم"},
        {R"({"heirNames": {"sons": ["a", "b", "c"]}})", "\"details.heirNames.sons\" gives 3 names for 2 persons",
         "«أسماء الأبناء» فيها 3"},
        {R"({"heirNames": {"father": ["a"]}})", "gives 1 name for 0 persons", "«أسماء الأب»"},
        {R"({"heirNames": {"sons": ["a\nb"]}})", "\"details.heirNames.sons\" holds a control character", "حرف تحكم"},
        {R"({"heirNames": {"sons": "a"}})", "\"details.heirNames.sons\" must be a list of names", "بيانات المسألة"},
        {R"({"heirNames": {"sons": [1]}})", "must be a list of texts", "بيانات المسألة"},
        {R"({"heirNames": {"sons": [["a"]]}})", "must be a list of texts", "بيانات المسألة"},
        {R"({"heirNames": {"nephews": []}})", "unknown field \"details.heirNames.nephews\"", "لا يعرفه البرنامج"},
        {R"({"heirNames": {"sons": [], "sons": []}})", "duplicate field \"details.heirNames.sons\"", "مكرر"},
        {R"({"heirNames": []})", "\"details.heirNames\" must be an object of lists of names", "بيانات المسألة"},
        {R"({"nam": "x"})", "unknown field \"details.nam\"", "لا يعرفه البرنامج"},
        {R"({"name": "a", "name": "b"})", "duplicate field \"details.name\"", "مكرر"},
        {R"({"name": 5})", "\"details.name\" must be a text", "بيانات المسألة"},
        {R"({"name": null})", "\"details.name\" must be a text", "بيانات المسألة"},
        {R"("Ahmad")", "\"details\" must be an object", "«بيانات المسألة» يجب أن تكون كائناً"},
    };
    for (const auto& k : cases) {
        const std::string text = base + k.details + "}";
        CaseRecord r;
        CaseError error;
        EXPECT_FALSE(readCaseObject(text, r, error)) << k.details;
        EXPECT_NE(error.message.find(k.english), std::string::npos) << k.details << ": " << error.message;
        EXPECT_NE(CaseErrorArabic(error).find(k.arabic), std::string::npos) << k.details << ": " << CaseErrorArabic(error);
        // qismar-cli refuses the line with the same message.
        std::string out;
        cli::processLine(text, out);
        EXPECT_NE(out.find("\"error\""), std::string::npos) << out;
    }
    // The limits themselves are allowed: 200 characters, 29 February of a
    // leap year, as many names as heads.
    CaseRecord r;
    CaseError error;
    EXPECT_TRUE(readCaseObject(base + R"({"name": ")" + twoHundred + R"(", "dateOfDeath": "2000-02-29", )" +
                                   R"("heirNames": {"sons": ["a", "b"], "mother": ["c"]}}})",
                               r, error))
        << error.message;
}

TEST(CaseDetails, TheWriterRefusesWhatTheReaderWouldRefuseAndWritesNothing)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("qismar-details-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path path = folder / "case.qismar";
    CaseRecord r = familyWithDetails();
    namesOf(r.details, Heir::Daughters) = {"مريم", "خديجة"};  // one daughter only
    CaseError error;
    EXPECT_FALSE(writeCaseFile(path.string(), r, error));
    EXPECT_EQ(error.problem, CaseProblem::NotWritable);
    EXPECT_NE(error.message.find("details.heirNames.daughters"), std::string::npos) << error.message;
    EXPECT_NE(CaseErrorArabic(error).find("أسماء البنات"), std::string::npos) << CaseErrorArabic(error);
    EXPECT_FALSE(fs::exists(path));

    namesOf(r.details, Heir::Daughters) = {"مريم"};
    // An amount with a fraction, which the window takes, is no case file's:
    // the save says so in Arabic, and writes nothing.
    CaseRecord fraction = r;
    fraction.estate.estate = Currency::fromRaw(12000007500);
    EXPECT_FALSE(writeCaseFile(path.string(), fraction, error));
    EXPECT_EQ(error.problem, CaseProblem::NotWritable);
    EXPECT_NE(CaseErrorArabic(error).find("بكسور"), std::string::npos) << CaseErrorArabic(error);
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(writeCaseFile(path.string(), r, error)) << error.message;
    CaseRecord back;
    ASSERT_TRUE(readCaseFile(path.string(), back, error)) << error.message;
    EXPECT_EQ(back, r);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace qismar
