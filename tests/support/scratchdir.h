#ifndef TESTS_SUPPORT_SCRATCHDIR_H
#define TESTS_SUPPORT_SCRATCHDIR_H

#include <string>

// Tests run in parallel in one scratch directory. A ScratchDir gives the
// running test a fresh directory of its own (named after the test), makes it
// the current directory, and on destruction goes back and removes it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The directory's full name.
    const std::string& Path() const { return path; }

private:
    std::string previous;
    std::string path;
};

#endif
