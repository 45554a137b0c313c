#pragma once

#include <windows.h>

#include <memory>

class ListWindow;

// The list's scroll bars and scrolling: the ranges the rows and columns give,
// the requests of the bars, the keys and the wheel, and the animated scroll
// of whole rows.
class ListScroller {
public:
    explicit ListScroller(ListWindow& owner);
    ~ListScroller();
    ListScroller(const ListScroller&) = delete;
    ListScroller& operator=(const ListScroller&) = delete;

    // A bar's position in pixels; SB_HORZ or SB_VERT.
    int Position(int bar) const;
    // Moves a bar; the cells move away from under the title tip.
    void SetPosition(int bar, int position);
    bool HorizontalBarShown() const { return horizontalBarShown; }

    // Sets the ranges the rows, the columns and the client area give.
    void ResetBars();
    // Draws the bars whose range changed since they were last drawn.
    void OnBarTimer();

    void OnVScroll(int request);
    void OnHScroll(int request);
    void OnWheel(int delta);
    // Moves the rows; a line or page move animates when the list allows it.
    void ScrollRowsTo(int position, bool animate);
    void EnsureVisible(int row, int position);

    bool IsAnimating() const { return animation != nullptr; }
    void OnAnimationFrame();
    void StopAnimation();

private:
    struct Animation;
    struct Range {
        bool set = false;
        int maximum = 0;
        UINT page = 0;
    };

    int TrackPosition(int bar) const;
    void SetRange(int bar, const SCROLLINFO& wanted, Range& current);
    void StartAnimation(int fromRow, int toRow);
    void CloseEditor() const;

    ListWindow& list;
    bool verticalBarShown = false;
    bool horizontalBarShown = false;
    Range verticalRange;
    Range horizontalRange;
    unsigned staleBars = 0; // 1: vertical, 2: horizontal, drawn by the timer
    DWORD lastBarRedraw = 0;
    // A line or page move animates once per end-of-scroll notice; the frames
    // run from a pre-rendered bitmap.
    bool animatingScroll = false;
    std::unique_ptr<Animation> animation;
};
