#pragma once
// Proportional layout: the design geometry of every component is recorded
// once in a hidden list (the layout table) and every resize scales each
// control from it, so repeated resizes never accumulate error.  Also the
// Always On Top option, whose check mark is its only state.

namespace velbrook {

class Form;
class List_Box;
class Menu_Item;

// Records the table when it is still empty: line 0 the client size (in
// pixels of a 96-dpi screen, whatever the form's resolution), then one line
// per component of the form in creation order ("0" for components that are
// not visual controls), each control still at its design place.  Hides
// both scroll bars of the form.
void Record_Design_Layout(Form& form, List_Box& table);

// Scales every control to the present client size from the table, as one
// batch without repaints in between; does nothing while the table is empty.
// A client area larger by the form's dpi / 96 gives the design layout at
// that resolution, fonts of the design's points.
void Scale_Controls(Form& form, const List_Box& table);

// Inverts the mark and puts the window in the topmost band when it is set,
// in the normal band when it is clear; the window is neither moved, sized
// nor activated.
void Toggle_Always_On_Top(Form& form, Menu_Item& mark);

}  // namespace velbrook
