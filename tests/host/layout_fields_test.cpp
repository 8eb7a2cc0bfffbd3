// The Page Layout dialog's fields: what each takes, how it shows a value and
// what it says when it refuses one.

#include <gtest/gtest.h>

#include "app/layout_fields.h"

namespace velbrook {
namespace {

TEST(Layout_Fields, Read_Within_Their_Ranges_And_Refuse_Everything_Else) {
    struct Case {
        const Layout_Field& field;
        const wchar_t* text;
        std::optional<int> value;
    } cases[] = {
        {Columns_Field, L"1", 1},
        {Columns_Field, L" 10\t", 10},
        {Columns_Field, L"0", std::nullopt},
        {Columns_Field, L"11", std::nullopt},
        {Columns_Field, L"2.0", std::nullopt},
        {Columns_Field, L"+2", std::nullopt},
        {Columns_Field, L"", std::nullopt},
        {Columns_Field, L"99999999999", std::nullopt},
        {Copies_Field, L"99", 99},
        {Copies_Field, L"100", std::nullopt},
        {Margin_Field, L"0", 0},
        {Margin_Field, L"5", 50},
        {Margin_Field, L"5.5", 55},
        {Margin_Field, L"5,5", 55},
        {Margin_Field, L".5", 5},
        {Margin_Field, L"5.", 50},
        {Margin_Field, L"50", 500},
        {Margin_Field, L"50.1", std::nullopt},
        {Margin_Field, L"5.25", std::nullopt},
        {Margin_Field, L"-1", std::nullopt},
        {Margin_Field, L"1e1", std::nullopt},
        {Margin_Field, L".", std::nullopt},
        {Margin_Field, L"5.x", std::nullopt},
        {Margin_Field, L"5.5.5", std::nullopt},
        {Spacing_Field, L"30", 300},
        {Spacing_Field, L"30.5", std::nullopt},
        {Width_Field, L"10", 100},
        {Width_Field, L"9.9", std::nullopt},
        {Height_Field, L"1000", 10000},
        {Height_Field, L"1000.1", std::nullopt},
        {Height_Field, L"abc", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read_Field(c.field, c.text), c.value)
            << std::wstring(c.field.name) << L" \"" << std::wstring(c.text) << L"\"";
}

TEST(Layout_Fields, Show_Values_As_They_Are_Read_Back_And_Name_Their_Range_When_Refusing) {
    for (const Layout_Field* field :
         {&Columns_Field, &Rows_Field, &Width_Field, &Height_Field, &Margin_Field, &Spacing_Field, &Copies_Field}) {
        for (int value :
             {field->least, field->least + 1, (field->least + field->most) / 2, field->most - 1, field->most})
            EXPECT_EQ(Read_Field(*field, Field_Text(*field, value)), value)
                << std::wstring(field->name) << ' ' << value;
    }
    EXPECT_EQ(Field_Text(Margin_Field, 50), L"5");
    EXPECT_EQ(Field_Text(Margin_Field, 55), L"5.5");
    EXPECT_EQ(Field_Text(Margin_Field, 5), L"0.5");
    EXPECT_EQ(Refusal_Text(Columns_Field), L"Columns must be a whole number from 1 to 10.");
    EXPECT_EQ(Refusal_Text(Copies_Field), L"Copies of each picture must be a whole number from 1 to 99.");
    EXPECT_EQ(Refusal_Text(Margin_Field),
              L"Margin must be a number of millimetres from 0 to 50, with at most one decimal.");
    EXPECT_EQ(Refusal_Text(Width_Field),
              L"Width must be a number of millimetres from 10 to 1000, with at most one decimal.");
}

}  // namespace
}  // namespace velbrook
