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

    // Records what draw() draws into the list without drawing it (GL_COMPILE),
    // so that one call() draws it once. Without a list name to record into,
    // draw() draws at once instead and the answer is false.
    template <class Draw> bool record(const Draw& draw)
    {
        if (!begin()) {
            draw();
            return false;
        }
        draw();
        end();
        return true;
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
