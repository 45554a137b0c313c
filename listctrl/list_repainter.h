#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

class ListWindow;
struct ListPaintState;

// Repainting only what changed. The list is told "repaint" after every
// change; comparing what the visible rows would now show with what they were
// last asked to show keeps a batch that adds rows below the visible ones from
// repainting the list for each of them.
class ListRepainter {
public:
    explicit ListRepainter(ListWindow& owner) : list(owner) {}

    // Invalidates the rows whose picture changed, or all of the list when
    // anything else did.
    void Repaint();
    // Invalidates the row across the whole width of the list.
    void RepaintRow(int row);

private:
    struct Shown {
        bool valid = false;
        std::size_t layout = 0;
        int first = 0;
        std::vector<std::size_t> rows; // the visible rows, from the first
    };

    static std::size_t LayoutHash(const ListPaintState& state);
    static std::size_t RowHash(const ListPaintState& state, int row);

    ListWindow& list;
    Shown shown;
};
