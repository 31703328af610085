#ifndef SI_GLOBALLOCK_H
#define SI_GLOBALLOCK_H

// Holds the global lock for the lifetime of a scope, so that the lock is
// released however the scope is left (also by an exception).

#include "si/thread.h"

class ZuGlobalLockAcquisition {
public:
    explicit ZuGlobalLockAcquisition(ZuGlobalLockId id) : lock_id(id)
    {
        ZuThread::QuickGlobalLock(lock_id);
    }
    ~ZuGlobalLockAcquisition() { ZuThread::QuickGlobalUnlock(lock_id); }
    // Copies the id only; the lock itself is not touched.
    ZuGlobalLockAcquisition& operator=(const ZuGlobalLockAcquisition& other)
    {
        lock_id = other.lock_id;
        return *this;
    }
    ZuGlobalLockAcquisition(const ZuGlobalLockAcquisition&) = delete;

private:
    ZuGlobalLockId lock_id;
};

#endif
