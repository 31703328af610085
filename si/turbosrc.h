// ZuTurboSearch: finds a fixed byte pattern in a zero-ended 8-bit text with
// a shift table: the last pattern byte is compared first, and a window is
// moved on by the shift of the byte that follows it.
#ifndef SI_TURBOSRC_H
#define SI_TURBOSRC_H

#include "si/object.h"

ZU_HANDLE(ZuTurboSearch, ZuObject)

class ZuTurboSearch : public ZuObject {
    ZU_CLASS(ZuTurboSearch, ZuObject)
public:
    // What Search answers when the pattern does not occur.
    static constexpr unsigned int not_found = 0xFFFFFFFFu;

    ZuTurboSearch();
    ~ZuTurboSearch() override;

    // Takes a copy of the pattern and builds the tables. A null pattern or
    // a length of 0 is refused (false) and the previous pattern stays.
    virtual bool Setup(const char* pattern, unsigned int length);
    // The offset of the first occurrence of the pattern in the text (which
    // ends at its first zero byte); not_found when there is none, when the
    // text is null or when no pattern was set up.
    virtual unsigned int Search(const char* text);

private:
    unsigned int shift[256];
    unsigned int second_shift;
    unsigned int far_reach;
    unsigned char* pattern;
    unsigned int pattern_length;
    unsigned int last_index;
};

ZU_CLASS_END(ZuTurboSearch)

#endif
