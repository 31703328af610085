// Interfaces: small abstract classes (names beginning with Zui) that a class
// of the library takes on beside its single chain of classes. The class
// lists the interface as a further base, publishes it with its run-time
// class, and a caller holding only a ZuObjectRef asks the object whether it
// supports the interface and gets the interface part.
//
// Every interface class has one descriptor, its static member `interface`,
// and ends its virtual operations with RetSelfAsObject(), which leads from
// the interface part back to the whole object.
#pragma once

class ZuObject;
class Zuvi_Interface;
