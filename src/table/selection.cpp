#include "table/selection.h"

#include "platform/conversions.h"

namespace vindrel {

// Every valid row is linked, the first and the last included. Nothing
// recurses: when the nested clicks come back, the rows they select are
// selected already, and selecting a selected row raises nothing.

void RowSelection::TitleRowSelected() {
    const int row = table_.List1.ListIndex();
    table_.List2.SetListIndex(row);
    table_.List3.SetListIndex(row);
    table_.List4.SetListIndex(row);
}

void RowSelection::HandleRowSelected() {
    const int row = table_.List2.ListIndex();
    Text2_.SetText(table_.List2.List(row));
    table_.List1.SetListIndex(row);
}

void RowSelection::PidRowSelected() {
    const int row = table_.List3.ListIndex();
    Text1_.SetText(table_.List3.List(row));
    table_.List1.SetListIndex(row);
}

void RowSelection::Search(const TextBox& box, ListBox& list) {
    if (box.Text().empty()) return;
    for (int row = 0; row < list.ListCount(); ++row) {
        // Read afresh: a nested click may have changed the box.
        const bool equal = NumericValue(box.Text()) == NumericValue(list.List(row));
        list.SetSelected(row, equal);
    }
}

}  // namespace vindrel
