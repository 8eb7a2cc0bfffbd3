#pragma once
// The fields of Options > "Page Layout...": how each is typed, the range it
// takes and what the dialog says when a value falls outside it.  Portable.

#include <optional>
#include <string>
#include <string_view>

#include "printing/sheet_plan.h"

namespace velbrook {

struct Layout_Field {
    std::wstring_view name;    // as a refusal names it
    bool millimetres = false;  // typed in millimetres with at most one decimal, kept in tenths; else a whole number
    int least = 0, most = 0;   // in the units kept
};

inline constexpr Layout_Field Columns_Field{L"Columns", false, Least_Grid_Side, Most_Grid_Side};
inline constexpr Layout_Field Rows_Field{L"Rows", false, Least_Grid_Side, Most_Grid_Side};
inline constexpr Layout_Field Width_Field{L"Width", true, Least_Print_Side, Most_Print_Side};
inline constexpr Layout_Field Height_Field{L"Height", true, Least_Print_Side, Most_Print_Side};
inline constexpr Layout_Field Margin_Field{L"Margin", true, 0, Most_Margin};
inline constexpr Layout_Field Spacing_Field{L"Space between pictures", true, 0, Most_Spacing};
inline constexpr Layout_Field Copies_Field{L"Copies of each picture", false, Least_Copies, Most_Copies};

// The value typed, when it reads and lies in the field's range.  Spaces
// around it do not count; a millimetre field takes "." or "," as the
// decimal mark.  Signs, exponents, a second decimal and other letters do not
// read.
std::optional<int> Read_Field(const Layout_Field& field, std::wstring_view text);

// How the field shows a value: "12", and "5" or "5.5" for millimetres.
std::wstring Field_Text(const Layout_Field& field, int value);

// What the dialog says of a value that the field refuses: "Columns must be a
// whole number from 1 to 10."
std::wstring Refusal_Text(const Layout_Field& field);

}  // namespace velbrook
