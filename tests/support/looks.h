#ifndef TESTS_SUPPORT_LOOKS_H
#define TESTS_SUPPORT_LOOKS_H

// A fixture for the tests of the look manager and what paints with it:
// the port fixture (runtime, raster engine, font manager), the library
// directory pointed at a scratch directory (ZUVI_DIR) and, unless a test
// asks otherwise, the system look manager made current.

#include <string>

#include "si/dictree.h"
#include "si/lookman.h"
#include "tests/support/ports.h"
#include "tests/support/scratchdir.h"

class LookTest : public PortTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the system look manager (ZuLookMan::Initialise).
    void StartLook();

    // Writes a root object as the policy file "user/Zuvi.policies" of the
    // library directory, through an archive.
    void WritePolicies(const ZuObjectRef& root);
    // Writes raw bytes as the policy file.
    void WritePolicyBytes(const std::string& bytes);
    std::string PolicyPath() const;
    // A new empty policy tree.
    static ZuDicTreeRef NewTree();

    // A look manager is made in SetUp unless this is false.
    bool start_look = true;
    // With true, SetUp leaves ZUVI_DIR unset, so that "%Zuvi%" is the folder
    // beside the library and its look manager draws the build's sheets.
    bool library_sheets = false;
    ScratchDir scratch;
};

#endif
