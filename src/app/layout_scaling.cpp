#include "app/layout_scaling.h"

#include <windows.h>

#include "app/layout_table.h"
#include "toolkit/controls.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"

namespace velbrook {

void Record_Design_Layout(Form& form, List_Box& table) {
    if (table.Count() > 0) return;
    ::ShowScrollBar(form.Handle(), SB_BOTH, FALSE);
    SIZE client = form.Client_Size();
    table.Add(Layout_Header_Line(Dpi_Unscaled(client.cx, form.Form_Dpi()), Dpi_Unscaled(client.cy, form.Form_Dpi())));
    for (const auto& component : form.Components()) {
        if (Control* control = component->As_Control()) {
            table.Add(Layout_Control_Line(control->Left(), control->Width(), control->Top(), control->Height(),
                                          control->Font_Points(), control->Name()));
        } else {
            table.Add(Layout_Non_Visual_Line);
        }
    }
}

void Scale_Controls(Form& form, const List_Box& table) {
    if (table.Count() == 0) return;
    SIZE client = form.Client_Size();
    const Scale_Factors factors = Compute_Scale_Factors(table.Item(0), client.cx, client.cy, form.Form_Dpi());
    // Every control moves at once: one repaint at the end instead of one per
    // move while the border is being dragged.
    Form::Layout_Batch batch(form);
    const auto& components = form.Components();
    for (std::size_t i = 0; i < components.size() && static_cast<int>(i) + 1 < table.Count(); ++i) {
        Control* control = components[i]->As_Control();
        if (!control) continue;
        std::optional<Scaled_Geometry> scaled = Scale_Layout_Line(table.Item(static_cast<int>(i) + 1), factors);
        if (!scaled) continue;
        control->Set_Left(scaled->left);
        control->Set_Width(scaled->width);
        control->Set_Top(scaled->top);
        control->Set_Height(scaled->height);
        control->Set_Font_Points(scaled->font_points);
    }
}

void Toggle_Always_On_Top(Form& form, Menu_Item& mark) {
    const bool on_top = !mark.Checked();
    mark.Set_Checked(on_top);
    ::SetWindowPos(form.Handle(), on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace velbrook
