// What the two ends of a named pipe (si/pipeclient, si/pipeserver) share:
// the pipe's system record, the names they keep, the full pipe name made
// from them and the time-out in milliseconds.
#ifndef SI_PIPECOMMON_H
#define SI_PIPECOMMON_H

#include <string>

#include "si/string.h"

struct Zuvi_PipeRecord;

// A record holding no pipe, from the application zone; `file` names the
// class for the zone's accounts.
Zuvi_PipeRecord* Zuvi_PipeNewRecord(const char* file);
void Zuvi_PipeFreeRecord(Zuvi_PipeRecord* pipe, const char* file);

// An empty name, and a name set from a text (emptied by a null text); the
// name keeps its own 8-bit copy.
ZuStringRef Zuvi_PipeNewName(const char* file);
void Zuvi_PipeSetName(ZuStringRef& name, const ZuStringRef& text);

// "\\.\pipe\" + server name + ":" + pipe name, without the server part and
// ":" when the server name is empty.
std::string Zuvi_PipeFullName(const ZuStringRef& server_name, const ZuStringRef& pipe_name);

// A time-out in seconds as milliseconds: 0 and below (and a value that is
// not a number) give 0, more than 32 bits hold gives the largest count.
unsigned Zuvi_PipeMilliseconds(double seconds);

#endif
