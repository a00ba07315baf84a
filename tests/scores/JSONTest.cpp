#include "engine/Errors.h"
#include "scores/CJSONDeserializer.h"
#include "scores/CJSONScanner.h"
#include "scores/CJSONSerializer.h"
#include "scores/TextScanner.h"
#include "support/Scratch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cmath>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::StartsWith;
using ::testing::ThrowsMessage;

namespace {

std::optional<JSONValue> read(std::string_view text, JSONError* error = nullptr) {
    return CJSONDeserializer::deserializer()->deserialize(text, error);
}

JSONValue mustRead(std::string_view text) {
    JSONError error;
    std::optional<JSONValue> v = read(text, &error);
    EXPECT_TRUE(v) << text << ": " << error.code << " " << error.localizedDescription;
    return v ? *v : JSONValue();
}

std::string write(const JSONValue& v) { return CJSONSerializer::serializer()->serializeObject(v); }

} // namespace

TEST(JSONReader, FailuresGiveTheirCodeAndPutTheLocationBack) {
    struct Case {
        std::string text;
        int code;
        size_t location; // where the scan stands after the failure
    };
    const Case cases[] = {
        {"[1 2]", -9, 0},
        {"[1-2]", -9, 0}, // not a silent [1]: the rest of a malformed number is left for the array to refuse
        {"  [1 2]", -9, 2},
        {"{1:2}", -2, 0},
        {"{\"a\" 1}", -3, 0},
        {"{\"a\":}", -4, 0},
        {"{\"a\":1 \"b\":2}", -5, 0},
        {"[1,?]", -8, 0},
        {"\"\\u00g9\"", -12, 0},
        {"\"\\x\"", -13, 0},
        {"'a'", -11, 0},
        // The end of the data is the absence of a character, never a read past it.
        {"[", -8, 0},
        {"[1,", -8, 0},
        {"[1", -9, 0},
        {"{", -2, 0},
        {"{\"a\":1", -5, 0},
        {"{\"a", -2, 0},
        {"\"abc", -15, 0},
        {"\"abc\\", -15, 0},
        {"\"\xE6\x97", -15, 0}, // mid-character
        {"\"\\u12", -12, 0},
        {"-", -14, 0},
        {"-x", -14, 0},
        {"1e999", -14, 0},
        {"tru", -16, 0},
        {"?", -16, 0},
        {"   ", -16, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RefPtr<CJSONScanner> scanner = CJSONScanner::scannerWithData(c.text);
        JSONError error;
        JSONValue value;
        EXPECT_FALSE(scanner->scanJSONObject(&value, &error));
        EXPECT_EQ(error.code, c.code);
        EXPECT_EQ(error.domain, "CJSONScannerErrorDomain");
        EXPECT_EQ(error.localizedDescription, CJSONScanner::messageForCode(c.code));
        EXPECT_EQ(scanner->scanLocation(), c.location);
    }
}

// Each way in names its own failure: the wrong container, no data, a broken dictionary.
TEST(JSONReader, EachEntryPointReportsItsOwnFailure) {
    EXPECT_STREQ(CJSONScanner::messageForCode(-7), "Could not scan array. Array not started by a '{' character.");
    EXPECT_STREQ(CJSONScanner::messageForCode(-11),
                 "Could not scan string constant. String not started by a '\"' character.");
    EXPECT_STREQ(CJSONScanner::messageForCode(-10), CJSONScanner::messageForCode(-9));
    JSONError wrongKind, wrongContainer, wrongRoot, broken, empty;
    EXPECT_FALSE(CJSONScanner::scannerWithData("[]")->scanJSONDictionary(nullptr, &wrongKind));
    EXPECT_FALSE(CJSONScanner::scannerWithData("{}")->scanJSONArray(nullptr, &wrongContainer));
    EXPECT_FALSE(CJSONScanner::scannerWithData("{}")->scanJSONArray(nullptr, nullptr));
    EXPECT_FALSE(CJSONDeserializer::deserializer()->deserializeAsDictionary("[1]", &wrongRoot));
    EXPECT_FALSE(dictionaryWithJSONData("{", &broken));
    EXPECT_FALSE(read("", &empty));
    auto failure = [](const JSONError& e) { return e.domain + " " + std::to_string(e.code); };
    const std::string scanner = "CJSONScannerErrorDomain ";
    EXPECT_THAT(
        (std::vector{failure(wrongKind), failure(wrongContainer), failure(wrongRoot), failure(broken)}),
        ElementsAre(scanner + "-1", scanner + "-7", scanner + "-1", scanner + "-2"));
    EXPECT_EQ(failure(empty), kJSONDeserializerErrorDomain + " -1"s);
    EXPECT_TRUE(empty.localizedDescription.empty());
    EXPECT_EQ((*dictionaryWithJSONData("{\"a\":[1]}", &broken))["a"][0].asNumber(), 1);
}

TEST(JSONReader, NestingHasALimitAndAHostileDocumentOnlyFails) {
    std::string deepest = std::string(kJSONMaxDepth, '[') + std::string(kJSONMaxDepth, ']');
    EXPECT_TRUE(read(deepest));
    std::string tooDeep = std::string(kJSONMaxDepth + 1, '[') + std::string(kJSONMaxDepth + 1, ']');
    EXPECT_FALSE(read(tooDeep));
    JSONError error;
    EXPECT_FALSE(read(std::string(200000, '['), &error));
    EXPECT_EQ(error.code, -8);
    EXPECT_FALSE(read(std::string(100000, '{') , &error));
    EXPECT_FALSE(read("{\"a\":" + std::string(100000, '['), &error));
    EXPECT_EQ(error.code, -4);
    JSONArray array;
    EXPECT_FALSE(CJSONScanner::scannerWithData(tooDeep)->scanJSONArray(&array, &error));
}

TEST(JSONReader, ValuesReadAsTheirKinds) {
    struct Case {
        std::string text;
        JSONValue expected;
    };
    const Case cases[] = {
        {"{}", JSONDictionary{}},
        {"[]", JSONArray{}},
        {"[1,2,]", JSONArray{1, 2}},
        {"{\"a\":1,}", JSONDictionary{{"a", 1}}},
        {" [ true , false , null ] ", JSONArray{true, false, nullptr}},
        {"\"\\u00e9\"", "\xC3\xA9"},
        {"\"\\u00E9\"", "\xC3\xA9"},
        {"\"\\ud83d\\ude00\"", "\xF0\x9F\x98\x80"},          // a surrogate pair is one character
        {"\"\\ud800x\"", "\xEF\xBF\xBDx"},                     // a lone surrogate is U+FFFD
        {"\"\\udc00\\u0041\"", "\xEF\xBF\xBD" "A"},
        {"\"a\xFF" "b\xC3\"", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"}, // so is broken UTF-8
        {"\"\xE6\x97\xA5\xE6\x9C\xAC\"", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"\"\\b\\f\\n\\r\\t\\/\\\\\\\"\"", "\b\f\n\r\t/\\\""},
        {"\"tab\there\"", "tab\there"}, // control characters inside quotes are taken as they are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(mustRead(c.text), c.expected) << write(mustRead(c.text));
    }
    // Booleans stay apart from numbers.
    EXPECT_NE(mustRead("true"), JSONValue(1));
    EXPECT_TRUE(std::signbit(mustRead("-0").asNumber()));
    // A later equal key replaces the value but keeps the first place.
    EXPECT_EQ(write(mustRead("{\"k\":1,\"j\":2,\"k\":3}")), "{\"k\":3,\"j\":2}");
    // A number stops where its text does.
    RefPtr<CJSONScanner> scanner = CJSONScanner::scannerWithData("12abc");
    double n = 0;
    EXPECT_TRUE(scanner->scanJSONNumberConstant(&n, nullptr));
    EXPECT_EQ(std::make_pair(n, scanner->remainingString()), std::make_pair(12.0, "abc"s));
}

TEST(JSONReader, NumbersDoNotDependOnTheLocale) {
    ScratchDir made; // a German locale of this test's own: the system may have none installed
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const auto command = "localedef -i de_DE -f UTF-8 '" + made.file("de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) setenv("LOCPATH", made.path().c_str(), 1);
    const bool comma =
        std::setlocale(LC_ALL, "de_DE.UTF-8") && std::string(std::localeconv()->decimal_point) == ",";
    const JSONValue v = comma ? mustRead("[1.5,2.25e1]") : JSONValue();
    const std::string text = comma ? write(JSONValue(0.5)) : "";
    std::setlocale(LC_ALL, saved.c_str());
    unsetenv("LOCPATH");
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma can be had here";
    EXPECT_EQ(v, (JSONArray{1.5, 22.5}));
    EXPECT_EQ(text, "0.5");
}

TEST(JSONReader, WideEncodingsAreDetected) {
    EXPECT_EQ(mustRead("\x7B\x00\x7D\x00"s), JSONDictionary{});
    const JSONValue expected = JSONDictionary{{"\xC3\xA9", "\xF0\x9F\x98\x80"}};
    // {"é":"😀"} by hand in each encoding.
    const std::u16string u16 = u"{\"\u00e9\":\"\U0001F600\"}";
    const std::u32string u32 = U"{\"\u00e9\":\"\U0001F600\"}";
    auto bytes = [](const auto& units, int width, bool littleEndian) {
        std::string out;
        for (char32_t c : units)
            for (int k = 0; k < width; ++k)
                out += static_cast<char>(c >> 8 * (littleEndian ? k : width - 1 - k));
        return out;
    };
    const std::string le16 = bytes(u16, 2, true);
    for (const std::string& text : {le16, bytes(u16, 2, false), bytes(u32, 4, true), bytes(u32, 4, false)})
        EXPECT_EQ(mustRead(text), expected);
    // A cut-off wide document fails instead of reading past its end.
    EXPECT_FALSE(read(le16.substr(0, le16.size() - 3)));
}

TEST(JSONWriter, WritesValidJSON) {
    struct Case {
        JSONValue value;
        std::string text;
    };
    const Case cases[] = {
        {JSONArray{1, 1}, "[1,1]"},
        {"a/b", "\"a\\/b\""},
        {true, "true"},
        {false, "false"},
        {nullptr, "null"},
        {1.5, "1.5"},
        {-0.0, "-0"},
        {1e20, "1e+20"},
        {1e15, "1000000000000000"}, // whole numbers below 2^53 are written as integers
        {-9007199254740992.0, "-9007199254740992"},
        {1e16, "1e+16"},
        {0.1, "0.1"},
        {"q\"b\\", "\"q\\\"b\\\\\""},
        {"\b\f\n\t", "\"\\b\\f\\n\\t\""},
        {"\r\x01\x1f", "\"\\u000d\\u0001\\u001f\""},
        {"\xC3\xA9", "\"\xC3\xA9\""},
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "\"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\""},
        {JSONDictionary{{"b", 1}, {"a", JSONArray{}}}, "{\"b\":1,\"a\":[]}"},
        {JSONArray{JSONArray{-65.613616999999977, 43.420273000000009}, "x", JSONArray{}, 2, -0.0},
         "[[-65.61361699999998,43.42027300000001],\"x\",[],2,-0]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(write(c.value), c.text);
        // Everything written reads back as the same value.
        EXPECT_EQ(mustRead(c.text), c.value) << c.text;
    }
    // An escape anywhere in a longer text (which is taken eight bytes at a time).
    const std::pair<char, std::string> escapes[] = {
        {'"', "\\\""}, {'\\', "\\\\"}, {'/', "\\/"}, {'\n', "\\n"}, {'\x1f', "\\u001f"}};
    for (const auto& [c, escaped] : escapes)
        for (size_t at = 0; at < 20; ++at) {
            std::string text(20, 'a');
            text[at] = c;
            EXPECT_EQ(write(JSONValue(text)), "\"" + text.substr(0, at) + escaped + text.substr(at + 1) + "\"");
        }
    RefPtr<CJSONSerializer> s = CJSONSerializer::serializer();
    EXPECT_EQ(s->serializeNull(kJSONNull), "null");
    EXPECT_EQ(s->serializeNumber(true), "true");
    EXPECT_EQ(s->serializeArray({1, "x"}), "[1,\"x\"]");
    EXPECT_EQ(s->serializeDictionary({{"k", nullptr}}), "{\"k\":null}");
}

TEST(JSONWriter, NumbersJSONCannotExpressAreRefused) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()})
        EXPECT_THAT([&] { write(JSONArray{1, bad}); },
                    ThrowsMessage<NamedException>(StartsWith("NSGenericException: Could not serialize object")));
}

TEST(JSONValue, IsPleasantToReadFrom) {
    JSONValue v = mustRead(R"({"scores":[{"name":"ann","score":3}],"n":null})");
    EXPECT_EQ(v["scores"][0]["name"].asString(), "ann");
    EXPECT_EQ(v["scores"][0]["score"].numberOr(0), 3);
    EXPECT_TRUE(v["missing"][7]["deeper"].isNull());
    EXPECT_EQ(v["scores"].size(), 1u);
    EXPECT_EQ(v["n"].stringOr("none"), "none");
    EXPECT_THROW(v["scores"].asNumber(), AssertionFailure);
}

TEST(JSONReader, CorporaSurviveARoundTrip) {
    const std::filesystem::path dir = TV_JSON_CORPUS_DIR;
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"}) {
        SCOPED_TRACE(name);
        const std::string text = readText((dir / name).string());
        ASSERT_FALSE(text.empty()) << "missing " << (dir / name);
        JSONValue first = mustRead(text);
        std::string written = write(first);
        JSONValue second = mustRead(written);
        EXPECT_TRUE(!first.isNull() && first == second);
        EXPECT_EQ(write(second), written);
    }
}

TEST(DataScanner, ScansBytes) {
    RefPtr<CDataScanner> s = CDataScanner::scannerWithData("  abc123-4.5e1+x");
    s->skipWhitespace();
    std::string out;
    EXPECT_TRUE(s->scanUTF8String("ab", &out));
    EXPECT_EQ(out, "ab");
    EXPECT_FALSE(s->scanString("x", &out));
    EXPECT_EQ(s->scanCharacter(), 'c');
    double n = 0;
    EXPECT_TRUE(s->scanNumber(&n));
    EXPECT_EQ(n, 123);
    EXPECT_TRUE(s->scanNumber(&n));
    EXPECT_EQ(n, -45);
    EXPECT_TRUE(s->scanCharacter('+'));
    EXPECT_EQ(s->currentCharacter(), 'x');
    s->setScanLocation(1000);
    EXPECT_TRUE(s->isAtEnd());
    EXPECT_EQ(s->currentCharacter(), 0);
    EXPECT_EQ(s->scanCharacter(), 0);

    // A zero byte ends the search for a text.
    s = CDataScanner::scannerWithData("ab\0cd"s);
    EXPECT_FALSE(s->scanUpToString("cd", &out));
    s = CDataScanner::scannerWithData("key: value");
    EXPECT_TRUE(s->scanUpToString(":", &out));
    EXPECT_EQ(out, "key");
    EXPECT_TRUE(s->scanCharactersFromSet(CharacterSet::characterSetWithCharactersInString(": "), nullptr));
    EXPECT_TRUE(s->scanUpToCharactersFromSet(CharacterSet::characterSetWithCharactersInString("u"), &out));
    EXPECT_EQ(out, "val");
}

TEST(DataScanner, Comments) {
    struct Case {
        std::string text;
        bool cStyle;
        std::string comment; // or the exception's reason
        bool raises;
        std::string rest;
    };
    const Case cases[] = {
        {"/* note */x", true, " note ", false, "x"},
        {"/**/", true, "", false, ""},
        {"/* open", true, "Started to scan a C style comment but it wasn't terminated.", true, ""},
        {"/* a /* b */", true, "C style comments should not be nested.", true, ""},
        {"// line\r\nnext", false, " line", false, "next"},
        {"//\nnext", false, "", false, "next"},
        {"// \xE2\x80\xA6 end", false, " \xE2\x80\xA6 end", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto scan = [&c](auto s) {
            std::string out;
            EXPECT_TRUE(c.cStyle ? s->scanCStyleComment(&out) : s->scanCPlusPlusStyleComment(&out));
            EXPECT_EQ(out, c.comment);
            EXPECT_EQ(s->remainingString(), c.rest);
        };
        // The byte scanner and the character scanner agree.
        auto bytes = [&] { scan(CDataScanner::scannerWithData(c.text)); };
        auto characters = [&] { scan(TextScanner::scannerWithString(c.text)); };
        if (!c.raises) {
            bytes(), characters();
            continue;
        }
        EXPECT_THAT(bytes, ThrowsMessage<NamedException>("NSGenericException: " + c.comment));
        EXPECT_THAT(characters, ThrowsMessage<NamedException>("NSGenericException: " + c.comment));
    }
    EXPECT_FALSE(CDataScanner::scannerWithData("x/**/")->scanCStyleComment(nullptr));
}

TEST(TextScanner, CountsCharactersAndBacktracks) {
    RefPtr<TextScanner> s = TextScanner::scannerWithString("\xC3\xA9t\xC3\xA9\xE2\x80\xA8z");
    EXPECT_EQ(s->scanCharacter(), U'\u00e9');
    EXPECT_TRUE(s->scanCharacter(U't'));
    EXPECT_EQ(s->scanLocation(), 2u);
    std::string out;
    EXPECT_TRUE(s->scanUpToCharactersFromSet(CharacterSet::linebreaksCharacterSet(), &out));
    EXPECT_EQ(out, "\xC3\xA9");
    EXPECT_EQ(s->currentCharacter(), U'\u2028');
    s->backtrack(3);
    EXPECT_EQ(s->scanLocation(), 0u);
    EXPECT_EQ(s->remainingString(), s->string());
    EXPECT_THAT([&] { s->backtrack(1); },
                ThrowsMessage<NamedException>(testing::EndsWith(": Backtracked too far.")));
    for (char32_t c : {0x0A, 0x0C, 0x0D, 0x85, 0x2028, 0x2029})
        EXPECT_TRUE(CharacterSet::linebreaksCharacterSet().characterIsMember(c));
    EXPECT_FALSE(CharacterSet::linebreaksCharacterSet().characterIsMember(0x0B));
}

// Numbers take a quick route when it is sure of the result and the exact one
// otherwise; both must give the same: the correctly rounded value when read,
// the standard library's shortest text when written.
TEST(JSONNumbers, QuickAndExactRoutesAgree) {
    auto exactValue = [](const std::string& text) {
        double d = 0;
        std::from_chars(text.data(), text.data() + text.size(), d);
        return d;
    };
    std::vector<std::string> texts = {
        "9007199254740993", "9007199254740995", "0.1", "43.420273000000009", "-65.613616999999977",
        "1.7976931348623157e308", "1e23", "2.2250738585072014e-308", "5e-324", "1234567890123456789",
        "12345678901234567891", "0.30000000000000004", "1e-27", "1e27", "123456789e-5", "0e99999999",
        "4.35e-28", "18446744073709551615", "9999999999999999999e27", "1.00000000000000011102230246251565404236316680908203125",
        "1.5e3", "1e+5", "2E-2", "-12", "1e-400", "12345678901234567890"};
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        // 15 to 19 digits with the point anywhere, and an exponent now and then.
        std::string digits = std::to_string(random() % 9 + 1);
        int count = 14 + static_cast<int>(random() % 5);
        for (int j = 0; j < count; ++j) digits += static_cast<char>('0' + random() % 10);
        digits.insert(random() % digits.size() + 1, ".");
        if (digits.back() == '.') digits += '5';
        if (i % 3 == 0) digits += "e" + std::to_string(static_cast<int>(random() % 60) - 30);
        texts.push_back(digits);
    }
    for (const std::string& text : texts)
        ASSERT_EQ(mustRead(text).asNumber(), exactValue(text)) << text;

    // 17, 16 and fewer digits, the point anywhere; below 1, fixed or scientific, whichever is shorter
    // (fixed on a tie); powers of two; the smallest and largest doubles.
    std::vector<double> values = {
        65.613616999999977, 43.418052999999986, 65.625, 1.2345678901234567, 123456.78901234567,
        1234567890123456.8, 4503599627370495.5, 99999999999999.99, 0.99999999999999989, 1.0000000000000002,
        100.5, 0.3, 2.0 / 3, 0.0001, 0.00012345, 0.0012345678901234567, 1.5e-06, 7e-10, 0.1, 1.5e-7, 123.456,
        0.5, 9.5367431640625e-07, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 1e23, 1e300,
        1e16 + 2, 1.0 / 3};
    for (size_t i = 0, count = values.size(); i < count; ++i) values.push_back(-values[i]);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) values.push_back(any);
        // Mostly values of ordinary size, where the quick route applies.
        double ordinary = std::ldexp(static_cast<double>(random() >> 11), -53) * std::pow(10.0, static_cast<int>(random() % 24) - 7);
        values.push_back(random() % 2 ? ordinary : -ordinary);
        // Decimals as documents hold them: up to 17 digits, the point anywhere.
        std::string decimal = std::to_string(random() % 9 + 1);
        for (int more = static_cast<int>(random() % 17); more > 0; --more)
            decimal += static_cast<char>('0' + random() % 10);
        values.push_back(exactValue(decimal + "e" + std::to_string(static_cast<int>(random() % 24) - 20)));
    }
    for (double v : values) {
        if (v == std::trunc(v) && std::fabs(v) < 9007199254740992.0) continue; // whole numbers are written as integers
        char expected[64];
        char* end = std::to_chars(expected, expected + sizeof expected, v).ptr;
        std::string written;
        CJSONSerializer::appendNumber(written, v);
        ASSERT_EQ(written, std::string(expected, end));
        ASSERT_EQ(mustRead(written).asNumber(), v) << written;
    }
}

TEST(JSONReader, ManyKeysWithARepeatedOne) {
    // Past a handful of keys the reader (and set) find repeats through the index.
    std::string text = "{";
    for (int i = 0; i < 300; ++i) text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    JSONValue v = mustRead(text + "\"k3\":\"again\"}");
    ASSERT_TRUE(v.isDictionary());
    v.asDictionary().set("k7", "also");
    EXPECT_EQ(v.size(), 300u);
    EXPECT_EQ(v["k3"].asString(), "again");
    EXPECT_EQ(v["k7"].asString(), "also");
    EXPECT_EQ(v.asDictionary().entries()[7].first, "k7");
    EXPECT_EQ(v["k299"].asNumber(), 299);
    EXPECT_TRUE(v["k300"].isNull());
}

TEST(JSONReader, DigitRunsOfEveryLengthInsideLongerText) {
    // Runs shorter than, equal to and longer than a word of bytes, with text after them.
    const std::string digits = "9876543210123456789";
    for (size_t whole = 1; whole <= digits.size(); ++whole)
        for (size_t fraction : {size_t{0}, size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{15}}) {
            std::string number = digits.substr(0, whole);
            if (fraction) number += "." + digits.substr(digits.size() - fraction);
            const std::string scaled = "-" + number + "e-3";
            double expected, expectedScaled;
            std::from_chars(number.data(), number.data() + number.size(), expected);
            std::from_chars(scaled.data(), scaled.data() + scaled.size(), expectedScaled);
            SCOPED_TRACE(number);
            EXPECT_EQ(mustRead("[" + number + "," + scaled + " , {\"k\":" + number + "}]"),
                      (JSONArray{expected, expectedScaled, JSONDictionary{{"k", expected}}}));
        }
}

TEST(JSONReader, AFailureLeavesNothingForTheNextDocument) {
    EXPECT_FALSE(read(R"([[1,2],{"a":[3,{"b":4,)"));
    EXPECT_FALSE(read(R"({"a":[5,6],"b":{"c":7},"d":?})"));
    EXPECT_EQ(mustRead(R"([8,{"e":9}])"), (JSONArray{8, JSONDictionary{{"e", 9}}}));
}

TEST(JSONValue, ContainersGrowCopyAndMoveSafely) {
    JSONArray array;
    EXPECT_TRUE(array.empty());
    EXPECT_EQ(array.begin(), array.end());
    array.push_back("a text long enough to live on the heap");
    // Pushing an element of the array itself, while its block moves.
    for (int i = 0; i < 40; ++i) array.push_back(array[0]);
    EXPECT_EQ(array.size(), 41u);
    EXPECT_EQ(array.back(), array.front());
    array.pop_back();
    EXPECT_EQ(array.size(), 40u);

    JSONArray copy = array;
    copy[0] = 1;
    EXPECT_TRUE(array[0].isString());
    EXPECT_NE(copy, array);
    copy.clear();
    EXPECT_TRUE(copy.empty());

    // A dictionary past its index, copied: both find every key.
    JSONValue read = mustRead(R"({"a":1,"b":2,"c":3,"d":4,"e":5,"f":6,"g":7,"h":8,"i":9,"j":10})");
    JSONValue other = read;
    other.asDictionary().set("k", 11);
    for (const char* key : {"a", "e", "j"}) EXPECT_EQ(other[key], read[key]) << key;
    EXPECT_TRUE(read["k"].isNull());
    EXPECT_EQ(other["k"].asNumber(), 11);

    // A value takes the place of the container it came from.
    JSONValue nested = mustRead(R"([[1,[2]],{"x":{"y":3}}])");
    nested = std::move(nested.asArray()[0]);
    EXPECT_EQ(nested, (JSONArray{1, JSONArray{2}}));
    JSONValue keyed = mustRead(R"({"x":{"y":[4]}})");
    keyed = std::move(*keyed.asDictionary().find("x"));
    EXPECT_EQ(keyed["y"][0].asNumber(), 4);
    JSONArray outer = nested.asArray();
    outer = std::move(outer[1].asArray());
    EXPECT_EQ(outer, (JSONArray{2}));
}
