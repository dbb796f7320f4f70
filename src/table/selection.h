// Picking a row of the process table: the same row is selected in the other
// columns, and its handle and process id are copied into the target handle
// box and the pid box. The search boxes select the rows whose value equals
// what the user typed.
#pragma once

#include "platform/controls.h"
#include "table/process_table.h"

namespace vindrel {

class RowSelection {
public:
    RowSelection(ProcessTable& table, TextBox& Text2, TextBox& Text1)
        : table_(table), Text2_(Text2), Text1_(Text1) {}

    // A title row was selected: select the same row of the other columns;
    // their clicks fill the boxes.
    void TitleRowSelected();
    // A handle row was selected: copy its text into Text2 and select the
    // title row, which links the rest.
    void HandleRowSelected();
    // A pid row was selected: copy its text into Text1 and select the title
    // row, which links the rest.
    void PidRowSelected();

    // Selects the last row of the list whose numeric value equals that of
    // the search text (read afresh for every row), deselecting a selected
    // row that does not match. An empty search text does nothing.
    static void Search(const TextBox& box, ListBox& list);

private:
    ProcessTable& table_;
    TextBox& Text2_;
    TextBox& Text1_;
};

}  // namespace vindrel
