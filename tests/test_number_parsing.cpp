// Reading the start creature from the command line and a creature ID from a mailbox message.
#include <gtest/gtest.h>

#include "frame/number_parsing.h"

TEST(ReadStartCreatureID, DecimalNumbersAtTheStart) {
    const struct {
        const char* text;
        qint32 id;
    } cases[] = {
        {"123", 123},          {"  1 5", 15},        {" 12 34", 1234},     {"\t1\n2", 12},
        {"12.5", 12},          {"13.5", 14},         {"2.5", 2},           {"3.5", 4},
        {"0.5", 0},            {"-2.5", -2},         {"1.4999", 1},        {"-7", -7},
        {"+8", 8},             {"- 9", -9},          {"42abc", 42},        {"7,5", 7},
        {"1.5.2", 2},          {".5", 0},            {".51", 1},           {"abc", 0},
        {"-", 0},              {".", 0},             {"#5", 0},            {"$5", 0},
        {"--5", 0},            {"", 0},              {"   ", 0},           {"1e3", 1000},
        {"1E+3", 1000},        {"25E-1", 2},         {"35e-1", 4},         {"1.5E1", 15},
        {"1E", 1},             {"1E+", 1},           {"1e-x", 1},          {"2.50000000000000000001", 3},
        {"1E-999999999999999999999", 0},             {"0E99999999999", 0}, {"000000000000000000042", 42},
        {"7\r8", 7},           {"12 .5", 12},        {"4 2 . 5", 42},      {"1.2E1.5", 12},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadStartCreatureID(c.text), c.id) << '"' << c.text << '"';
}

TEST(ReadStartCreatureID, HexadecimalAndOctal) {
    EXPECT_EQ(ReadStartCreatureID("&H1F"), 31);
    EXPECT_EQ(ReadStartCreatureID("&hff rest"), 255);
    EXPECT_EQ(ReadStartCreatureID("& H 1 0"), 16);
    EXPECT_EQ(ReadStartCreatureID("&O17"), 15);
    EXPECT_EQ(ReadStartCreatureID("&o78"), 7);
    EXPECT_EQ(ReadStartCreatureID("&O8"), 0);
    EXPECT_EQ(ReadStartCreatureID("&H"), 0);
    EXPECT_EQ(ReadStartCreatureID("&"), 0);
    EXPECT_EQ(ReadStartCreatureID("&X12"), 0);
    EXPECT_EQ(ReadStartCreatureID("-&H10"), 0);
    EXPECT_EQ(ReadStartCreatureID("&H7FFFFFFF"), 2147483647);
    EXPECT_EQ(ReadStartCreatureID("&H0000000000007FFFFFFF"), 2147483647);
    EXPECT_EQ(ReadStartCreatureID("&H80000000"), 0);
    EXPECT_EQ(ReadStartCreatureID("&HFFFFFFFFFFFFFFFFFFFF"), 0);
}

TEST(ReadStartCreatureID, SignedThirtyTwoBitRange) {
    EXPECT_EQ(ReadStartCreatureID("2147483647"), 2147483647);
    EXPECT_EQ(ReadStartCreatureID("2147483647.4"), 2147483647);
    EXPECT_EQ(ReadStartCreatureID("2147483647.5"), 0);
    EXPECT_EQ(ReadStartCreatureID("2147483648"), 0);
    EXPECT_EQ(ReadStartCreatureID("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ReadStartCreatureID("-2147483648.5"), -2147483647 - 1);  // half to even stays in range
    EXPECT_EQ(ReadStartCreatureID("-2147483649"), 0);
    EXPECT_EQ(ReadStartCreatureID("99999999999"), 0);
    EXPECT_EQ(ReadStartCreatureID("1E10"), 0);
    EXPECT_EQ(ReadStartCreatureID("1E99999999999999999999"), 0);
    EXPECT_EQ(ReadStartCreatureID(QString(5000, '9')), 0);
}

TEST(MessageCreatureID, PlainDecimalOnly) {
    EXPECT_EQ(MessageCreatureID("42"), 42);
    EXPECT_EQ(MessageCreatureID("  42  "), 42);
    EXPECT_EQ(MessageCreatureID("\t57\t"), 57);
    EXPECT_EQ(MessageCreatureID("12.5"), 12);
    EXPECT_EQ(MessageCreatureID("13.5"), 14);
    EXPECT_EQ(MessageCreatureID("12.51"), 13);
    EXPECT_EQ(MessageCreatureID("12."), 12);
    EXPECT_EQ(MessageCreatureID("-3"), -3);
    EXPECT_EQ(MessageCreatureID("2147483647"), 2147483647);
    EXPECT_EQ(MessageCreatureID("-2147483648"), -2147483647 - 1);

    for (const char* text : {"#*0000*#", "", "  ", "42abc", "abc", "4 2", "1e3", "&H10", "1,000", "12.5.1", ".", "-",
                             "2147483648", "-2147483649", "2147483647.5", "99999999999999999999"})
        EXPECT_EQ(MessageCreatureID(text), std::nullopt) << '"' << text << '"';
}
