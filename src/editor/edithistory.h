// The undo history of a text: steps of edits, each edit a replacement with what it removed.
// A run of typing, of Backspaces or of Deletes is one step, as in Qt's text widgets. The steps
// hold at most a budget of bytes (a step on a million lines holds megabytes): past it the
// oldest steps go, never the newest. QUndoStack bounds only the count of its steps, and only
// while it is empty.
#pragma once

#include "textbuffer.h"

#include <deque>
#include <string>
#include <vector>

class EditHistory {
public:
    using Position = TextBuffer::Position;

    // What an edit was, for joining a run of them into one step.
    enum class Kind { Other, Typing, Backspace, Delete };

    struct Edit {
        Position at;
        std::string removed;
        std::string inserted;
    };
    // Edits undone together, last first, and the selection before the first.
    struct Step {
        std::vector<Edit> edits;
        Position anchorBefore;
        Position cursorBefore;
        Kind kind;
    };

    static constexpr std::size_t defaultBudget = std::size_t(64) << 20;

    // Records an edit just made, with the selection before it; the steps undone before it
    // cannot be redone any more.
    void record(Edit edit, Kind kind, Position anchorBefore, Position cursorBefore);
    // The edits recorded between these two are one step (a drop that moves a text). A group
    // that recorded nothing leaves no step.
    void beginGroup();
    void endGroup();

    // The step to take back or to make again, or null; the caller carries it out.
    const Step* undo();
    const Step* redo();
    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    void clear();

    std::size_t count() const { return steps_.size(); }
    std::size_t bytes() const { return bytes_; }
    std::size_t budget() const { return budget_; }
    void setBudget(std::size_t bytes);

private:
    // Adds next to the last edit where it continues its run.
    static bool merge(Edit& last, const Edit& next, Kind kind);
    void trim();

    std::deque<Step> steps_;
    std::size_t done_ = 0; // steps not undone, the first ones
    std::size_t bytes_ = 0;
    std::size_t budget_ = defaultBudget;
    int groups_ = 0; // open groups
    bool groupStarted_ = false;
};
