// Qismar: the case object, the one form in which a case is read and written
// by qismar-cli (one object per line), by the windows and in .qismar case
// files (a UTF-8 file holding one case object).
//
// A case object is a JSON object whose members are optional fields of the
// entry window: "deceased", "estate", the heir boxes, the counts of the
// dialogs, the estate's preparation ("funeral", "debts", "bequests",
// "heirsConsent") and the optional format version "format" (1, the only
// one there is). A field left out keeps the entry window's initial value.
// "laterDeaths" lists heads who died before the division: per death "heir",
// "problem" (1 when left out), "case" (an object of relatives' fields only)
// and "same" (an object of field names); a case without it reads as before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <optional>
#include <vector>

#include "casefile/case_details.h"
#include "engine/estate_case.h"
#include "engine/later_deaths.h"
#include "engine/uncertain_heir.h"

namespace qismar {

// A case as the windows keep it and a case file holds it: the relatives and
// the estate that are divided, and the details the report shows.
struct CaseRecord {
    EstateCase estate;
    CaseDetails details;
    // At most one heir not yet known ("unborn", "missing",
    // "undeterminedSex"); a case with one has no later deaths.
    std::optional<UncertainHeir> uncertain;
    // Heads who died before the division ("laterDeaths"), in order.
    std::vector<LaterDeath> laterDeaths;
    bool operator==(const CaseRecord&) const = default;
};

// The format version that this program writes and reads.
inline constexpr int kCaseFormat = 1;

// The largest case file that is read. The program writes a case with every
// field at its largest value in 917 bytes; anything beyond this is not a case.
inline constexpr std::size_t kMaxCaseFileBytes = std::size_t{64} * 1024;

// The most bytes of the input that an error message quotes back.
inline constexpr std::size_t kMaxQuotedBytes = 40;

// The file name ending of case files.
inline constexpr std::string_view kCaseFileSuffix = ".qismar";

// What was wrong with a case object or a case file.
enum class CaseProblem : std::uint8_t {
    None,
    // The case object.
    NotJson,         // not valid JSON (or a NUL byte in it)
    NotAnObject,     // valid JSON, but not an object
    UnknownField,    // a member that is no field of a case
    DuplicateField,  // a field given twice
    BadValue,        // a field of the wrong type or outside its values
    ValueTooLarge,   // a count beyond kMaxCount persons, or an amount beyond the money range
    OtherFormat,     // a format version other than kCaseFormat
    CountsTooLarge,  // counts that add up beyond the range of counts
    // The case file.
    CannotOpen,   // the file cannot be opened (missing, no permission, ...)
    Folder,       // a folder under the name
    NotAFile,     // a device, a pipe, a socket: not a regular file
    TooLarge,     // more than kMaxCaseFileBytes
    CannotRead,   // reading failed
    NotText,      // a NUL byte: a binary file
    NotUtf8,      // bytes that are not UTF-8
    Empty,        // nothing but blanks
    CannotWrite,  // the file cannot be written (nothing was changed)
    NotWritable,  // the case holds a value that no case object can hold
};

struct CaseError {
    CaseProblem problem = CaseProblem::None;
    // The field concerned (UnknownField: the member as given, shortened).
    std::string field;
    // Where in the text the problem was found (1-based, in bytes), or 0.
    std::size_t line = 0;
    std::size_t column = 0;
    // errno of a failed open, read or write, or 0.
    int systemError = 0;
    // In English, as qismar-cli prints it.
    std::string message;
    // In Arabic, where the reader words it itself (the details); otherwise
    // CaseErrorArabic words it from the problem and the field.
    std::string arabic;
};

// Reads one case object: any JSON whitespace (line breaks included) around
// and inside it, and nothing else after it. On failure returns false and
// describes the problem in `error`; `out` is then unspecified. The boxes
// that the entry window keeps in agreement with the dialogs (children,
// grandchildren, siblings and their total) are derived from the counts, and
// a deceased woman has one spouse.
bool readCaseObject(std::string_view text, CaseRecord& out, CaseError& error);
// The same, keeping only what is divided; the details are still checked.
bool readCaseObject(std::string_view text, EstateCase& out, CaseError& error);
bool readCaseObject(std::string_view text, EstateCase& out, std::string& error);

// The case object of a case, on one line without a line end: the format,
// the deceased and the estate, then every other field whose value differs
// from the initial one. Amounts are digit strings, counts integers. The
// derived boxes are not written: readCaseObject derives them again, so
// reading what this writes gives back the same case for every case whose
// derived boxes agree with its counts (every case that readCaseObject or
// the entry window produces). Throws EngineError for a value that no case
// object can hold: a negative or fractional amount or count (InvalidCount,
// NotAWholeNumber), a count above kMaxCount (CountTooLarge), a number of
// wives other than 1 to 4 (InvalidCount).
// "details", when the case has any, is written last, as an object of the
// texts given and the lists of names.
std::string writeCaseObject(const CaseRecord& c);
std::string writeCaseObject(const EstateCase& c);

// Reads a case file: a regular file of at most kMaxCaseFileBytes, UTF-8
// text (a byte order mark is allowed), holding one case object. Never
// blocks on a pipe or a device. On failure returns false with the problem.
bool readCaseFile(const std::string& path, CaseRecord& out, CaseError& error);
bool readCaseFile(const std::string& path, EstateCase& out, CaseError& error);
bool readCaseFile(const std::string& path, EstateCase& out, std::string& error);

// Writes a case file: the case object and a line end, whole or not at all,
// by the rule of writeWholeFile (file_writer.h): a failed save leaves the
// file that was there as it was; a file that exists keeps its permissions;
// a symbolic link is followed to the file it names (made if it names
// nothing yet) and stays a link; a folder, a device or a pipe under the
// name is refused. Values the writer cannot hold give NotWritable, and
// nothing is written.
// Details that checkCaseDetails refuses give NotWritable too.
bool writeCaseFile(const std::string& path, const CaseRecord& c, CaseError& error);
bool writeCaseFile(const std::string& path, const EstateCase& c, CaseError& error);

// The problem in Arabic, for the windows: one sentence that names the field
// (in Arabic), the place in the file or the reason given by the system.
std::string CaseErrorArabic(const CaseError& error);

}  // namespace qismar
