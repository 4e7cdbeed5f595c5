#pragma once

namespace tvl {

// One OpenGL display list name, made on first use in the context current then
// and released with the object (which needs a context of the same share group
// current if a name was made).
class DisplayList {
public:
    DisplayList() = default;
    ~DisplayList();
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    // Records everything drawn by draw() into the list while drawing it
    // (GL_COMPILE_AND_EXECUTE). No list name left: draw() draws unrecorded.
    template <class Draw> void record(const Draw& draw)
    {
        const bool recording = begin();
        draw();
        if (recording)
            end();
    }
    // Replays the list; nothing before the first record.
    void call() const;
    unsigned name() const { return name_; }

private:
    bool begin();
    void end();

    unsigned name_ = 0;
};

} // namespace tvl
