#include "edithistory.h"

#include <numeric>

namespace {

// What a step holds in memory: its texts as allocated, and its bookkeeping.
std::size_t bytesOf(const EditHistory::Step& step) {
    return std::accumulate(step.edits.begin(), step.edits.end(), sizeof step,
                           [](std::size_t sum, const EditHistory::Edit& edit) {
                               return sum + sizeof edit + edit.removed.capacity() +
                                      edit.inserted.capacity();
                           });
}

bool hasLineEnd(const std::string& text) {
    return text.find(TextBuffer::separator) != std::string::npos;
}

} // namespace

void EditHistory::record(Edit edit, Kind kind, Position anchorBefore, Position cursorBefore) {
    for (; steps_.size() > done_; steps_.pop_back())
        bytes_ -= bytesOf(steps_.back());
    const bool grouped = groups_ > 0 && groupStarted_;
    if (grouped || (groups_ == 0 && canUndo() && steps_.back().kind == kind)) {
        Step& last = steps_.back();
        bytes_ -= bytesOf(last);
        bool joined = grouped;
        if (grouped)
            last.edits.push_back(std::move(edit));
        else
            joined = merge(last.edits.back(), edit, kind);
        bytes_ += bytesOf(last);
        if (joined)
            return trim();
    }
    steps_.push_back({{}, anchorBefore, cursorBefore, groups_ > 0 ? Kind::Other : kind});
    steps_.back().edits.push_back(std::move(edit));
    bytes_ += bytesOf(steps_.back());
    ++done_;
    groupStarted_ = groups_ > 0;
    trim();
}

// Typing continues where the last character went, unless a line ends; a Backspace removes the
// character before the last one removed, a Delete the one after it.
bool EditHistory::merge(Edit& last, const Edit& next, Kind kind) {
    switch (kind) {
    case Kind::Typing:
        if (next.at != last.at + Position(last.inserted.size()) || !next.removed.empty() ||
            hasLineEnd(last.inserted) || hasLineEnd(next.inserted))
            return false;
        last.inserted += next.inserted;
        return true;
    case Kind::Backspace:
        if (next.at + Position(next.removed.size()) != last.at)
            return false;
        last.removed.insert(0, next.removed);
        last.at = next.at;
        return true;
    case Kind::Delete:
        if (next.at != last.at)
            return false;
        last.removed += next.removed;
        return true;
    case Kind::Other:
        break;
    }
    return false;
}

// The oldest steps go first; the one Ctrl+Z takes back next always stays, and so do the steps
// that can be redone.
void EditHistory::trim() {
    for (; bytes_ > budget_ && done_ > 1; --done_) {
        bytes_ -= bytesOf(steps_.front());
        steps_.pop_front();
    }
}

void EditHistory::beginGroup() {
    ++groups_;
}

void EditHistory::endGroup() {
    groups_ = std::max(groups_ - 1, 0);
    groupStarted_ = groupStarted_ && groups_ > 0;
}

const EditHistory::Step* EditHistory::undo() {
    return canUndo() ? &steps_[--done_] : nullptr;
}

const EditHistory::Step* EditHistory::redo() {
    return canRedo() ? &steps_[done_++] : nullptr;
}

void EditHistory::clear() {
    steps_.clear();
    done_ = bytes_ = 0;
    groupStarted_ = false; // an open group starts anew, with no step to add to
}

void EditHistory::setBudget(std::size_t bytes) {
    budget_ = bytes;
    trim();
}
