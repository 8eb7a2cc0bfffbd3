#include <gtest/gtest.h>

#include <climits>

#include "app/settings_values.h"

namespace velbrook {
namespace {

constexpr int Default = 576;

TEST(Parse_Ini_Integer, Reads_Decimal_And_Hexadecimal) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"0x300", 768},
        {L"0X1f", 31},
        {L"0x1", 1},
        {L"0x7FFFFFFF", INT_MAX},
        {L"-5", -5},
        {L"+5", 5},
        {L"576", 576},
        {L"0", 0},
        {L"007", 7},
        {L"2147483647", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L" 12", 12},  // spaces around a value are not part of it
        {L"12\t ", 12},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Parse_Ini_Integer(text, Default), expected) << text;
}

TEST(Parse_Ini_Integer, Gives_The_Default_For_Anything_Else) {
    const wchar_t* cases[] = {
        L"",
        L"   ",
        L"abc",
        L"0x",
        L"0X",
        L"0xg",
        L"0x12z",
        L"12abc",
        L"1 2",
        L"-",
        L"+",
        L"--5",
        L"-0x10",
        L"x300",
        L"1.5",
        L"1e3",
        L"2147483648",
        L"-2147483649",
        L"0x80000000",
        L"0xFFFFFFFF",
        L"99999999999999999999",
        L"\x0661\x0662",  // digits of another script
    };
    for (const wchar_t* text : cases) {
        EXPECT_EQ(Parse_Ini_Integer(text, Default), Default) << text;
        EXPECT_EQ(Parse_Ini_Integer(text, -1), -1) << text;
    }
}

TEST(Parse_Ini_Integer_In, Gives_The_Default_Outside_The_Range) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"1", 1}, {L" 10 ", 10}, {L"0xA", 10}, {L"0", 4}, {L"11", 4}, {L"-1", 4}, {L"2147483647", 4}, {L"x", 4},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Parse_Ini_Integer_In(text, 1, 10, 4), expected) << text;
}

TEST(Parse_Ini_Bool, Any_Integer_But_Zero_Is_True) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"1", true}, {L"0", false}, {L"-1", true}, {L"2", true}, {L"0x0", false}, {L"0x10", true},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Parse_Ini_Bool(text, !expected), expected) << text;
    }
    for (bool fallback : {false, true}) {
        EXPECT_EQ(Parse_Ini_Bool(L"", fallback), fallback);
        EXPECT_EQ(Parse_Ini_Bool(L"yes", fallback), fallback);
    }
}

TEST(Format_Ini, Reads_Back_What_It_Wrote) {
    for (int value : {0, 1, -1, 20, 576, -32000, INT_MAX, INT_MIN}) {
        const std::wstring text = Format_Ini_Integer(value);
        EXPECT_EQ(text.find_first_not_of(L"-0123456789"), std::wstring::npos) << text;
        EXPECT_EQ(Parse_Ini_Integer(text, value == 7 ? 8 : 7), value) << text;
    }
    EXPECT_EQ(Format_Ini_Integer(-20), L"-20");
    EXPECT_EQ(Format_Ini_Bool(true), L"1");
    EXPECT_EQ(Format_Ini_Bool(false), L"0");
    for (bool value : {false, true}) EXPECT_EQ(Parse_Ini_Bool(Format_Ini_Bool(value), !value), value);
}

}  // namespace
}  // namespace velbrook
