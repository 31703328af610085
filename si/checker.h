// ZuChecker: watches one source object (usually an input field of a
// dialog) and checks its "text" datum whenever the source reports a change.
// Its check filters are alternatives: the text passes as soon as one of them
// accepts it. The checker keeps the resulting validity record, reports
// "notify_validity_changed" when the record changes and tells its validator
// when the text turns valid or invalid.
#ifndef SI_CHECKER_H
#define SI_CHECKER_H

#include "si/array.h"
#include "si/basecontroller.h"
#include "si/icontainer.h"
#include "si/string.h"
#include "si/validator.h"
#include "si/validity.h"

ZU_HANDLE(ZuChecker, ZuBaseController)

class ZuChecker : public ZuBaseController, public ZuiContainer {
    ZU_CLASS(ZuChecker, ZuBaseController)
public:
    ZuChecker();

    // Observes source for "notify_changed" with the action
    // "OnSourceChange" and keeps the validator (which may be empty). A
    // checker needs a source: without one it answers false and changes
    // nothing. It does not check at once.
    virtual bool Initialise(const ZuObjectRef& source, const ZuValidatorRef& validator);
    // Only objects that support ZuiCheckFilter are accepted.
    virtual bool InsertFilter(const ZuObjectRef& filter);
    virtual bool RemoveFilter(const ZuObjectRef& filter);
    // The source's user name; the empty atom without a source.
    virtual ZuAtomRef RetSourceName();
    // Always an empty text.
    virtual ZuStringRef RetErrorMessage();
    virtual ZuValidity RetValidity();
    // Checks the source's text (also callable by name).
    virtual void OnSourceChange();

    const ZuValidityRecord& RetRecord() const { return record; }

    // ZuiContainer: the filters.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

    static ZuAtomRef notify_validity_changed;
    // Shows a verdict on the source (the text line installs it when it
    // registers; the checker does not know that class): true when the
    // source is one it highlights.
    static bool (*hilite_source)(const ZuObjectRef& source, const ZuValidityRecord& record);

protected:
    // The source's "text" datum as a string: a text object, a value, or a
    // pictogram's normal text; an empty text when the source has no such
    // datum; false for a datum of any other kind (or no source).
    virtual bool FindSourceText(ZuStringRef& text) const;
    // Highlights the offending characters of a single-line text editor
    // source; false for any other source.
    virtual bool HiliteSourceError(const ZuValidityRecord& record) const;

    // The controller's part, then "<ZuChecker source validator filters>",
    // begin, the three objects, end. Restoring resets the record.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuArrayRef& Filters();

    ZuObjectRef source;
    ZuValidatorRef validator;
    ZuValidityRecord record;
    ZuArrayRef filters;
};
ZU_CLASS_END(ZuChecker)

#endif
