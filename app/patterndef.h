// CPatternDef: a brush, a small drawing of closed shapes repeated along a
// path, evolving from an initial state (0 % of the path) to a final state
// (100 %). Its drawing is one array of doubles holding element records, each
// opening with its opcode, which fixes its length:
//   10 shape header (12): drawing mode bits (1 stroked, 2 filled even-odd),
//      colour initial, final, width initial, final, line cap, line join,
//      reference point initial x, y, final x, y;
//   20 point (5): point initial x, y, final x, y;
//   21 curve segment (13): first control point initial, final; second
//      control point initial, final; end point initial, final;
//   0  end of the brush (1), at index "used length".
// Any other opcode counts as a record of length 1. A shape is its header and
// the records up to the next header or the end; its outline starts at the
// header's reference point.
//
// Handles: a header's handle 0 is its reference point, a point's handle 0
// its point, a curve's handles 0, 1, 2 its end point and its first and
// second control points. Handle 0 is of kind 1 (on the path), the control
// points of kind 2.
//
// States given to the editing operations: 0 both, 1 initial, 2 final, -1
// the edit state. Getters read the final value for state 2 and the initial
// one otherwise. Changing a colour, width or handle forgets the number of
// the prefabricated brush last loaded (-1).
//
// Indexes given to the operations are positions of records. Reading outside
// the array throws the library's access exception; writing past it grows the
// array by its grow step (10).
//
// A new brush is the first prefabricated one, "Cercle". The seventeen
// prefabricated brushes are numbered 0..16; LoadPrefab refuses any other
// number and leaves the brush as it was.
//
// Stored record (after the CDef record): begin, mark, Int prefab number, Int
// used length, the element array (begin, Card count, Card grow step, mark, a
// Real per element, end), end. The edit state is not stored. A record whose
// used length is outside the array, that has no end record at the used
// length, or whose records run past it, is refused with a ZuExcStream and
// leaves the brush's drawing as it was.
#ifndef LUMBRA_APP_PATTERNDEF_H
#define LUMBRA_APP_PATTERNDEF_H

#include "app/def.h"
// The arrays of numbers store through the storage operators.
#include "si/storage.h"
#include "si/simplearray.h"

ZU_FORWARD(ZuList)

ZU_HANDLE(CPatternDef, CDef)

class CPatternDef : public CDef {
    ZU_CLASS(CPatternDef, CDef)
public:
    enum {
        OP_END = 0,
        OP_SHAPE = 10,
        OP_POINT = 20,
        OP_CURVE = 21,
        SHAPE_LENGTH = 12,
        POINT_LENGTH = 5,
        CURVE_LENGTH = 13,
        MAX_RECORD = CURVE_LENGTH,
        GROW_STEP = 10,
        PREFAB_COUNT = 17,
        FIXED_LIST = 201
    };

    CPatternDef();
    ~CPatternDef() override;

    // CDef
    bool IsEqualCurrent(const CDefRef& other) const override;
    void CopyFrom(const CDefRef& other) override;
    void CloneTo(CDefRef& out) const override;
    int GetType() const override;

    // Walking the records.
    bool Clear();
    bool FirstElement(int& index) const;
    bool NextElement(int& index) const;
    bool PrevElement(int& index) const;
    bool NextElementInShape(int& index) const;
    bool PrevElementInShape(int& index) const;
    bool GetLength(int& length) const;
    int GetOpcode(int index) const;
    bool GetElement(int index, double* record) const;
    bool SetElement(int index, const double* record);
    bool InsertElement(int index, const double* record);
    bool DeleteElement(int index);

    // Editing the values.
    bool SetEditState(int state);
    bool GetShapeColor(int index, int& colour, int state) const;
    bool SetShapeColor(int index, int colour, int state);
    bool GetShapeWidth(int index, double& width, int state) const;
    bool SetShapeWidth(int index, double width, int state);
    bool GetShapeWidthAt(int index, double& width, double t) const;
    bool GetHandle(int index, int handle, double* point, int& kind, int state) const;
    bool GetHandleAt(int index, int handle, double* point, double t) const;
    bool SetHandle(int index, int handle, const double* point, int state);
    bool MoveHandle(int index, int handle, const double* point, int state);
    static bool CopyInitialToFinal(double* record);

    // The prefabricated brushes.
    bool LoadPrefab(int number);
    int GetPrefabNumber() const;
    static bool FillPrefabList(ZuListRef& list);

    // The length of the record that starts with this opcode.
    static int RecordLength(double opcode);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    typedef Zuvi_SimpleArrayZero<double> Elements;

    // The element at i for reading (throws outside the array) and writing
    // (grows the array).
    double Read(int i) const;
    double& Write(int i);
    int ResolveState(int state) const { return state == -1 ? edit_state : state; }
    // Sets both, the initial or the final one of a pair of values that lie
    // `distance` apart in the record.
    void SetPair(int first, double value, int distance, int state);
    // Whether the records tile the array up to an end record at `used`.
    static bool IsWellFormed(const Elements& elements, long long used);

    int prefab_number;
    int used_length;
    Elements elements;
    int edit_state;
};
ZU_CLASS_END(CPatternDef)

#endif
