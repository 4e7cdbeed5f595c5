#pragma once

#include <cstddef>

namespace tvl {

class StreamlineSet;

// The recorded streamlines of a placement: their points in one OpenGL buffer
// object, uploaded once, and the strips they form, replayed by every call().
// The buffer is made on first use in the context current then and released
// with the object (which needs a context of the same share group current if
// one was made); canvases that share objects share the list.
//
// A compiled GL display list would copy every vertex through the driver's
// immediate-mode path, which costs as much as drawing the lines once more;
// a buffer takes the points in one copy. The strips are drawn as their
// segments in one call: a strip lights the same pixels as its segments drawn
// one by one (each segment leaves out its last pixel either way), and one
// call spares the driver a draw per strip.
class DisplayList {
public:
    DisplayList() = default;
    ~DisplayList();
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    // Records the half-lines of lines in their order, replacing what the list
    // held; draws nothing. False, with the list emptied, when no buffer could
    // be made or filled.
    bool record(const StreamlineSet& lines);
    // Draws the recorded strips from the buffer, as line strips with the
    // current colour and width; nothing before the first record.
    void call() const;
    // The buffer object's name; 0 before the first record.
    unsigned name() const { return name_; }
    int stripCount() const { return stripCount_; }

private:
    // The points, then the segments as pairs of point indices.
    unsigned name_ = 0;
    unsigned segments_ = 0;
    int stripCount_ = 0;
    std::size_t indexCount_ = 0;
};

} // namespace tvl
