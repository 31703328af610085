#include "si/filestream.h"

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuFileStream, "si/filestream", ZU_CLASS_ABSTRACT)

ZuFileStream::ZuFileStream() : index(0), need_to_reopen(false) {}

ZuFileStream::~ZuFileStream() {}

bool ZuFileStream::SetName(const ZuStringRef& new_name)
{
    SetStreamName(new_name);
    return true;
}

const ZuStringRef& ZuFileStream::RetName() const
{
    return name;
}

bool ZuFileStream::GetName(ZuStringRef& out) const
{
    if (name.IsValid()) {
        name->GetString(out);
        return true;
    }
    out = "";
    return false;
}

std::int64_t ZuFileStream::RetPos() const
{
    SettleLoan();
    return index;
}

void ZuFileStream::SettleLoan() const
{
    if (loan != nullptr) {
        ZuStreamLoan* const holder = loan;
        loan = nullptr;
        holder->Settle();
    }
}

void ZuFileStream::Awake()
{
    ZuStream::Awake();
    if (need_to_reopen) {
        std::int64_t const position = index;
        Open();
        Skip(position);
        need_to_reopen = false;
    }
}
