// A small object graph of the library's stored classes, built the same way
// in every process, for the tests that send graphs through archives and
// carbon copies: nodes with numbers and atoms, shared and cyclic links, a
// string with an 8-bit character, an array with gaps, and a wrapped ring, a
// grid and a dictionary tree.
#ifndef ZUVI_TESTS_SUPPORT_SAMPLEGRAPH_H
#define ZUVI_TESTS_SUPPORT_SAMPLEGRAPH_H

#include "tests/support/storagetest.h"

ZuTestNodeRef BuildSampleGraph();
// Compares a graph (restored elsewhere) with a fresh sample, field by field,
// through gtest expectations.
void ExpectSampleGraph(const ZuTestNodeRef& root);
// Breaks the cycles of a sample graph so that its objects can go.
void BreakSampleGraph(const ZuTestNodeRef& root);

#endif
