#pragma once
// The JSON grammar over a byte scanner. Every scan reports true with its value
// or false with an error; on failure the scan location goes back to where the
// failing dictionary, array or string began.
//
// Beyond the codes -1 ... -14 of the table in the source, the reader reports:
//   -15 a string that the data ends inside,
//   -16 a byte that starts no value,
//   -17 arrays and dictionaries nested deeper than kJSONMaxDepth.
// A dictionary or array reports its own code for a failing element (-4, -8),
// so these show at the top level only when the value itself is the culprit.

#include "scores/CDataScanner.h"
#include "scores/JSONValue.h"

#include <string>
#include <vector>

extern const char* const kJSONScannerErrorDomain; // "CJSONScannerErrorDomain"

// Deep enough for any real document, shallow enough that a hostile [[[[...
// cannot exhaust the stack.
constexpr int kJSONMaxDepth = 512;

class CJSONScanner : public CDataScanner {
  public:
    static RefPtr<CJSONScanner> scannerWithData(std::string_view data);
    // A scanner that reads `data` in place (UTF-8) rather than a copy: the
    // caller keeps it alive while the scanner is used.
    static RefPtr<CJSONScanner> scannerBorrowingData(std::string_view data);
    CJSONScanner();

    // Detects UTF-16 and UTF-32 (either byte order) and scans their UTF-8 conversion.
    void setData(std::string_view data) override;

    bool scanJSONObject(JSONValue* out, JSONError* error);
    bool scanJSONDictionary(JSONDictionary* out, JSONError* error);
    bool scanJSONArray(JSONArray* out, JSONError* error);
    bool scanJSONStringConstant(std::string* out, JSONError* error);
    bool scanJSONNumberConstant(double* out, JSONError* error);
    // The run of bytes up to the next double quote or backslash (invalid
    // UTF-8 becomes U+FFFD); false when the run is empty.
    bool scanNotQuoteCharactersIntoString(std::string* out);

    // The message for one of the reader's codes (empty for an unknown code).
    static const char* messageForCode(int code);

  private:
    template <class Put> bool scanValue(Put&& put, JSONError* error);
    bool scanDictionaryInto(JSONDictionary& out, JSONError* error);
    bool scanArrayInto(JSONArray& out, JSONError* error);
    // The string's text: a view of the data when it has no escapes, else of `scratch`.
    bool scanStringView(std::string& scratch, std::string_view& text, JSONError* error);
    bool fail(JSONError* error, int code, const uint8_t* restoreTo);

    void load(std::string_view data, bool copy);

    std::string scratch_;
    int depth_ = 0;
    // Elements and entries of the containers being read (shared by the
    // scanners of a thread, which keep their room between documents), so
    // that each container is made once at its exact size.
    std::vector<JSONValue>& values_;
    std::vector<JSONDictionary::Entry>& entries_;
};
