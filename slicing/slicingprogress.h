#pragma once

// What a slicing run reports to while it cuts planes, and how it learns that it should stop:
// a progress dialog in the application, the terminal in the command-line tool. The run calls
// start() before the first plane, then setValue() and wasCanceled() before every plane, and
// finish() when the loop is over, however it ends.
class SlicingProgress
{
public:
    virtual ~SlicingProgress() = default;

    virtual void start() { }
    // percent runs from 0 to 100.
    virtual void setValue(int percent) = 0;
    virtual bool wasCanceled() const = 0;
    virtual void finish() { }
};
