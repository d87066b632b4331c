#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A scan of the program's sources for the string ids they use: every call of
// a function that takes an id (the string-table lookups and the helpers that
// pass an id on), with the id argument worked out where the source holds it
// as a number, a named integer constant (file-local, in an included header,
// a class member, an element of a constant array or a field of a constant
// aggregate), or a sum, product or choice (?:) of those.
namespace idscan {

// What a function does with the id it takes, and so which "|n" its text may
// hold.
enum class Use {
    Text,      // shown as it stands: no placeholder
    Filled,    // "|1" ... "|n" replaced by the n values of argument valuesArg
    Line,      // an auxiliary-line template: "|1" only, at the end of the text
    TextList,  // the argument is a braced list of ids, each shown as it stands
    CodeTable, // ids base ... base + count - 1 (count: argument extraArg), as Text
    CodeSpan,  // ids base + first ... base + last (arguments extraArg and extraArg + 1), as Text
    DigitText, // the id written as decimal digits in a text ("1200"); "", "0" or "-" name none
};

struct Taker {
    Taker(std::string function, int idArg, Use use, int extraArg = -1, std::string file = {}, bool zeroIsNone = false)
        : function(std::move(function)), idArg(idArg), use(use), extraArg(extraArg), file(std::move(file)),
          zeroIsNone(zeroIsNone)
    {
    }

    std::string function;
    int idArg;
    Use use;
    int extraArg;     // Filled: the values; CodeTable: the count; CodeSpan: the first code
    std::string file; // only calls in this file (a file-local helper), when not empty
    bool zeroIsNone;  // an id 0 names no text
};

struct Site {
    std::string file; // relative to the source root
    int line = 0;
    std::string function; // the enclosing function ("" outside any)
    const Taker *taker = nullptr;
    std::string argument;                      // the id argument as written (blanks dropped between symbols)
    std::optional<std::set<std::int64_t>> ids; // the ids it can take, when the scan works them out
    bool forwarded = false;     // the argument is a parameter of an enclosing function that is a taker itself
    std::string valuesArgument; // Filled: the values argument as written
    std::optional<int> values;  // Filled: how many values it passes, when the scan can tell
};

struct ScanResult {
    std::vector<Site> sites;
    std::vector<std::string> problems; // "file:line: ..." for sources the scan could not read
};

// Scans every .h and .cpp file of the folders (relative to root).
ScanResult Scan(const std::string &root, const std::vector<std::string> &folders, const std::vector<Taker> &takers);

// The argument as the scan writes it, for tables that name one.
std::string Normalized(const std::string &expression);

} // namespace idscan
