#include "number_style.h"

#include <gtest/gtest.h>

#include "row_parser.h"

namespace corvat {
namespace {

constexpr NumberStyle kPlain{};
constexpr NumberStyle kUs{DecimalMark::kPoint, ThousandsSeparator::kComma, true};
constexpr NumberStyle kGerman{DecimalMark::kComma, ThousandsSeparator::kDot, false};
constexpr NumberStyle kFrench{DecimalMark::kComma, ThousandsSeparator::kSpace, true};

TEST(ParseNumber, EachStyleReadsItsOwnWritingOnly) {
    const struct {
        const char* text;
        NumberStyle style;
        bool suffixAllowed;
        std::optional<float> value;
    } cases[] = {
        {"4,745.20", kUs, false, 4745.2f},
        {"1,234,567", kUs, true, 1234567.0f},
        {"123,456", kUs, false, 123456.0f},
        {"62.38M", kUs, true, 62380000.0f},
        {"1.5k", kUs, true, 1500.0f},
        {"2B", kUs, true, 2e9f},
        {"62.38M", kUs, false, std::nullopt},
        {"-1,000.5", kUs, false, -1000.5f},
        {"12,34.5", kUs, false, std::nullopt},
        {"1234,567", kUs, false, std::nullopt},
        {"1,2345", kUs, false, std::nullopt},
        {",123", kUs, false, std::nullopt},
        {"1,234,", kUs, false, std::nullopt},
        {"1e3K", kUs, true, std::nullopt},
        {"4745.20", kUs, false, 4745.2f},
        {"187,15", kGerman, false, 187.15f},
        {"82.488.700", kGerman, false, 82488700.0f},
        {"1.234,5", kGerman, false, 1234.5f},
        {"1.5", kGerman, false, std::nullopt},
        {"1,2,3", kGerman, false, std::nullopt},
        {"1 234,5", kFrench, false, 1234.5f},
        {"1\xC2\xA0"
         "234,5",
         kFrench, false, 1234.5f},
        {"12 34", kFrench, false, std::nullopt},
        {"3,5K", kFrench, true, 3500.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.text, c.style, c.suffixAllowed), c.value) << c.text;
}

TEST(ParseNumber, DefaultStyleIsExactlyParsePrice) {
    for (const char* text : {"12.5", " -3 ", "+4.", "1e3", "1,5", "62.38M", "", "1.7015e38",
                             "1e-40", "0.1", "123456789.123"}) {
        EXPECT_EQ(ParseNumber(text, kPlain, true), ParsePrice(text)) << text;
    }
    const NumberStyle same{DecimalMark::kComma, ThousandsSeparator::kComma, false};
    EXPECT_FALSE(ParseNumber("1,5", same, false).has_value()) << "one character, two meanings";
}

}  // namespace
}  // namespace corvat
