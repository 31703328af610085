#include "si/string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "si/atom.h"
#include "si/except.h"
#include "si/resid.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/text.h"

namespace {

class StringTest : public ZuviRuntimeTest {};

std::u16string Wide(const ZuStringRef& s)
{
    std::u16string out;
    unsigned n = s->CharacterCount();
    for (unsigned i = 0; i < n; ++i)
        out.push_back(static_cast<char16_t>(s->RetCharacter(i)));
    return out;
}

TEST_F(StringTest, InsertsAndDeletesWithClampedPositions)
{
    ZuStringRef s("abc");
    s->InsertString(10, "xy");
    EXPECT_EQ(Text(s), "abcxy");
    s->InsertString(1, "--", 1);
    EXPECT_EQ(Text(s), "a-bcxy");
    s->DeleteString(1, 100);
    EXPECT_EQ(Text(s), "a");
    s->AppendString("bcde");
    s->DeleteString(0, 5);
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->AccessLatin(), nullptr);
    s = "abc";
    EXPECT_FALSE(s->DeleteString(3, 1));
    EXPECT_EQ(Text(s), "abc");
}

TEST_F(StringTest, SetsTextWithAMaximum)
{
    ZuStringRef s("");
    s->SetString("abcdef", 3);
    EXPECT_EQ(Text(s), "abc");
    s->SetString("", 0);
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_TRUE(s->IsDefaultLatin());
    ZuStringRef other("xyz");
    s->SetString(other, 2);
    EXPECT_EQ(Text(s), "xy");
    s->SetString(ZuStringNull, 0);
    EXPECT_TRUE(s->IsEmpty());
}

// Setting a string from itself, or from characters inside its own buffer,
// must copy them before the buffer is replaced.
TEST_F(StringTest, SetsItselfFromItsOwnCharacters)
{
    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred.push_back(static_cast<char>('a' + i % 26));
    ZuStringRef s(hundred.c_str());
    s->SetString(s, 3);
    EXPECT_EQ(Text(s), "abc");

    s = hundred.c_str();
    s->SetString(s->AccessLatin() + 50, 0);
    EXPECT_EQ(Text(s), hundred.substr(50));

    s = hundred.c_str();
    s->SetString(s);
    EXPECT_EQ(Text(s), hundred);

    s = "abc";
    s->InsertString(1, s);
    EXPECT_EQ(Text(s), "aabcbc");
    s->AppendString(s);
    EXPECT_EQ(Text(s), "aabcbcaabcbc");

    ZuStringRef w("");
    const unsigned short text[] = {'x', 0x263A, 'y', 0};
    w->SetString(text, 0);
    w->SetString(w->AccessUnicode() + 1, 0);
    EXPECT_EQ(Wide(w), u"\u263Ay");
}

struct FindCase {
    const char* text;
    unsigned short c;
    unsigned from;
    int direction;
    bool found;
    unsigned pos;
};

TEST_F(StringTest, FindsCharacters)
{
    const FindCase cases[] = {
        {"abcabc", 'c', 0, 1, true, 2},   {"abcabc", 'c', 6, -1, true, 5},
        {"abcabc", 'c', 0, -1, false, 0}, {"abcabc", 'c', 3, 1, true, 5},
        {"abcabc", 'a', 99, -1, true, 3}, {"abcabc", 'z', 0, 1, false, 0},
        {"caf\xE9", 0xE9, 0, 1, true, 3},
    };
    for (const FindCase& c : cases) {
        ZuStringRef s(c.text);
        unsigned pos = c.from;
        EXPECT_EQ(s->Find(c.c, pos, c.direction), c.found) << c.text << " " << c.c;
        EXPECT_EQ(pos, c.found ? c.pos : c.from);
    }
}

TEST_F(StringTest, FindsStrings)
{
    ZuStringRef s("abcabc");
    unsigned pos = 1;
    EXPECT_TRUE(s->Find(ZuStringRef("bc"), pos, 1));
    EXPECT_EQ(pos, 1u);
    pos = 2;
    EXPECT_TRUE(s->Find(ZuStringRef("bc"), pos, 1));
    EXPECT_EQ(pos, 4u);
    pos = 6;
    EXPECT_TRUE(s->Find(ZuStringRef("ab"), pos, -1));
    EXPECT_EQ(pos, 3u);
    pos = 2;
    EXPECT_TRUE(s->Find(ZuStringRef(""), pos, 1));
    EXPECT_EQ(pos, 2u);
    pos = 0;
    EXPECT_FALSE(s->Find(ZuStringRef("abcabcx"), pos, 1));
    EXPECT_FALSE(s->Find(ZuStringRef("ca"), pos = 5, 1));
}

TEST_F(StringTest, ConvertsCaseOfIsoLatinCharacters)
{
    struct {
        unsigned short c, upper, lower;
    } const table[] = {
        {'a', 'A', 'a'},    {'z', 'Z', 'z'},    {'A', 'A', 'a'},    {'@', '@', '@'},
        {0xE9, 0xC9, 0xE9}, {0xE4, 0xC4, 0xE4}, {0xE0, 0xE0, 0xE0}, {0xE3, 0xE3, 0xE3},
        {0xF7, 0xF7, 0xF7}, {0xFE, 0xDE, 0xFE}, {0xFF, 0xFF, 0xFF}, {0xC0, 0xC0, 0xC0},
        {0xC4, 0xC4, 0xE4}, {0xD7, 0xD7, 0xD7}, {0xDE, 0xDE, 0xFE}, {0x100, 0x100, 0x100},
    };
    for (const auto& t : table) {
        EXPECT_EQ(ZuString::ConvertToUpper(t.c), t.upper) << std::hex << t.c;
        EXPECT_EQ(ZuString::ConvertToLower(t.c), t.lower) << std::hex << t.c;
    }
    ZuStringRef s("\xE9"
                  "a\xE0");
    s->ConvertToUpper();
    EXPECT_EQ(Text(s), "\xC9"
                       "A\xE0");
    s->ConvertToLower();
    EXPECT_EQ(Text(s), "\xE9"
                       "a\xE0");
    EXPECT_EQ(ZuString::UnicodeToLatin(0xE9), '\xE9');
    EXPECT_EQ(ZuString::UnicodeToLatin(0x20AC), '\x7F');
}

TEST_F(StringTest, ComparesLooselyAndExactly)
{
    ZuStringRef abc("abc");
    EXPECT_EQ(abc->CompareWith(ZuStringRef("ABC"), false), 0);
    EXPECT_EQ(abc->CompareWith(ZuStringRef("ABC"), true), 1);
    EXPECT_EQ(ZuStringRef("ab")->CompareWith(abc, true), -1);
    EXPECT_EQ(abc->CompareWith(ZuStringRef("ab"), true), 1);
    EXPECT_EQ(abc->CompareWith("abd", true), -1);
    EXPECT_EQ(abc->CompareWith(ZuStringNull, true), 1);
    ZuStringRef empty("");
    EXPECT_EQ(empty->CompareWith("", true), 0);
    EXPECT_EQ(empty->CompareWith(static_cast<const char*>(nullptr), true), 0);
    EXPECT_EQ(empty->CompareWith("x", true), -1);
    const unsigned short wide[] = {'a', 'b', 'c', 0};
    EXPECT_EQ(abc->CompareWith(wide, true), 0);
    EXPECT_EQ(ZuStringRef("\xE9")->CompareWith("\xC9", false), 0);
    EXPECT_EQ(ZuStringRef("\xE9")->CompareWith("a", true), 1); // characters compare unsigned
    EXPECT_EQ(abc->CompareSubsetWith(0, 0, abc, 0, true), 1);
    EXPECT_EQ(ZuStringRef("xabcx")->CompareSubsetWith(1, 3, abc, 0, true), 0);
    EXPECT_EQ(ZuStringRef("xabcx")->CompareSubsetWith(1, 9, abc, 0, true), 1);
    EXPECT_EQ(abc->CompareSubsetWith(5, 2, abc, 0, true), -1);
}

TEST_F(StringTest, CompareWithAnObjectThrowsOnEmptyOrForeignHandles)
{
    ZuStringRef abc("abc");
    ZuObjectRef same(ZuStringRef("abc"));
    EXPECT_EQ(abc->CompareWith(same), 0);
    try {
        abc->CompareWith(ZuObjectNull);
        FAIL() << "no exception";
    } catch (const ZuExcObject& e) {
        EXPECT_EQ(e.RetError(), 1);
    }
    ZuValueRef foreign;
    foreign.NewValue();
    try {
        abc->CompareWith(foreign);
        FAIL() << "no exception";
    } catch (const ZuExcObject& e) {
        EXPECT_EQ(e.RetError(), 0);
    }
}

TEST_F(StringTest, CopiesOutIntoBoundedBuffers)
{
    ZuStringRef s("abcdef");
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_FALSE(s->GetStringCopy(buffer, 4));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_TRUE(s->GetStringCopy(buffer, 7));
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_TRUE(s->GetStringCopy(buffer, 0));
    EXPECT_TRUE(s->ExtractStringCopy(buffer, 2, 3));
    EXPECT_STREQ(buffer, "cde");
    EXPECT_TRUE(s->ExtractStringCopy(buffer, 4, 7));
    EXPECT_STREQ(buffer, "ef");
    EXPECT_TRUE(s->ExtractStringCopy(buffer, 9, 2));
    EXPECT_STREQ(buffer, "");
    EXPECT_DEATH(s->GetStringCopy(static_cast<char*>(nullptr), 4), "Failed assertion: buffer");
}

TEST_F(StringTest, MakesParts)
{
    ZuStringRef s("abcdef");
    ZuStringRef part;
    EXPECT_TRUE(s->MakeLeft(2, part));
    EXPECT_EQ(Text(part), "ab");
    EXPECT_TRUE(s->MakeRight(10, part));
    EXPECT_EQ(Text(part), "abcdef");
    EXPECT_TRUE(s->MakeMiddle(4, 10, part));
    EXPECT_EQ(Text(part), "ef");
    EXPECT_TRUE(s->MakeMiddle(9, 1, part));
    EXPECT_TRUE(part->IsEmpty());
}

// A string holding these bytes, zeros included (a restored text may hold
// one; no text argument can carry it).
ZuStringRef WithZeros(const std::string& bytes)
{
    std::string visible = bytes;
    for (char& c : visible)
        if (c == 0)
            c = '_';
    ZuStringRef s(visible.c_str());
    for (unsigned i = 0; i < bytes.size(); ++i)
        if (bytes[i] == 0)
            s->SetCharacter(i, 0);
    return s;
}

TEST_F(StringTest, AZeroCharacterIsKeptByEveryEdit)
{
    const std::string hello("Bonjour\0monde", 13);
    struct Case {
        const char* what;
        void (*edit)(ZuStringRef& s);
        std::string expected;
    } const cases[] = {
        {"insert at the end", [](ZuStringRef& s) { s->InsertString(13, "x"); },
         std::string("Bonjour\0mondex", 14)},
        {"insert before the zero", [](ZuStringRef& s) { s->InsertString(2, "<>"); },
         std::string("Bo<>njour\0monde", 15)},
        {"append a string holding a zero",
         [](ZuStringRef& s) { s->AppendString(WithZeros(std::string("a\0b", 3))); },
         std::string("Bonjour\0mondea\0b", 16)},
        {"insert itself", [](ZuStringRef& s) { s->InsertString(0, s); },
         std::string("Bonjour\0mondeBonjour\0monde", 26)},
        {"insert part of a string", [](ZuStringRef& s) { s->InsertString(1, s, 9); },
         std::string("BBonjour\0monjour\0monde", 22)},
        {"delete across the zero", [](ZuStringRef& s) { s->DeleteString(6, 3); },
         std::string("Bonjouonde", 10)},
        {"cut the middle",
         [](ZuStringRef& s) {
             ZuStringRef part;
             s->MakeMiddle(5, 5, part);
             s = part;
         },
         std::string("ur\0mo", 5)},
    };
    for (const Case& c : cases) {
        ZuStringRef s = WithZeros(hello);
        c.edit(s);
        EXPECT_EQ(Text(s), c.expected) << c.what;
        EXPECT_EQ(s->CharacterCount(), c.expected.size()) << c.what;
    }
    // An empty string takes a string holding a zero whole.
    ZuStringRef empty("");
    empty->InsertString(0, WithZeros(hello));
    EXPECT_EQ(Text(empty), hello);
    // 16-bit: the same.
    ZuStringRef w("");
    const unsigned short wide[] = {'a', 0x20AC, 'c', 0};
    w->SetString(wide, 0);
    w->SetCharacter(1, 0);
    w->InsertString(3, "x");
    EXPECT_EQ(Wide(w), std::u16string(u"a\0cx", 4));
}

TEST_F(StringTest, ReadsCharactersInBothWidths)
{
    ZuStringRef s("\xE9");
    EXPECT_EQ(s[0], 0x00E9);
    EXPECT_EQ(s[1], 0);
    EXPECT_EQ(ZuStringNull[0], 0);
    char c = 0;
    EXPECT_TRUE(s->GetCharacter(0, c));
    EXPECT_EQ(c, '\xE9');
    EXPECT_FALSE(s->GetCharacter(1, c));

    ZuStringRef w("");
    const unsigned short text[] = {'a', 0x20AC, 0};
    w->SetString(text, 0);
    EXPECT_TRUE(w->IsDefaultUnicode());
    EXPECT_EQ(w->AccessLatin(), nullptr);
    EXPECT_TRUE(w->GetCharacter(1, c));
    EXPECT_EQ(c, '\x7F');
    w->InsertString(1, "\xE9");
    EXPECT_EQ(Wide(w), u"a\u00E9\u20AC");
    s->InsertString(1, text);
    EXPECT_EQ(Text(s), "\xE9"
                       "a\x7F");
}

TEST_F(StringTest, SolidStringsBorrowAndCopyBeforeChanging)
{
    char solid[] = "hello";
    ZuStringRef s("");
    s->SetSolidString(solid);
    EXPECT_EQ(s->CharacterCount(), 5u);
    EXPECT_EQ(s->AccessLatin(), solid);
    EXPECT_TRUE(s->SetCharacter(0, 'j'));
    EXPECT_FALSE(s->SetCharacter(5, 'x'));
    EXPECT_EQ(Text(s), "jello");
    EXPECT_STREQ(solid, "hello"); // the borrowed text is never written

    s->SetSolidString(solid);
    s->ConvertToUpper();
    EXPECT_EQ(Text(s), "HELLO");
    EXPECT_STREQ(solid, "hello");

    s->SetSolidString(solid);
    s->DeleteString(1, 2);
    EXPECT_EQ(Text(s), "hlo");
    EXPECT_STREQ(solid, "hello");

    s->SetSolidString(solid);
    ZuStringRef borrower("");
    borrower->SetString(s, 3);
    EXPECT_EQ(Text(borrower), "hel");

    s->SetSolidString(solid);
    s->ClearString();
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->AccessLatin(), nullptr);
}

TEST_F(StringTest, HashesLikeAtoms)
{
    EXPECT_EQ(ZuStringRef("")->ComputeHashValue(211), 0u);
    unsigned expected =
        ((static_cast<unsigned>('a') ^ 13u) + (static_cast<unsigned>('b') ^ 26u)) % 211u;
    EXPECT_EQ(ZuStringRef("ab")->ComputeHashValue(211), expected);
    // Characters count as signed bytes.
    unsigned high = (static_cast<unsigned>(-23) ^ 13u) % 7u;
    EXPECT_EQ(ZuStringRef("\xE9")->ComputeHashValue(7), high);
    EXPECT_DEATH(ZuStringRef("ab")->ComputeHashValue(0), "Failed assertion: num");
}

TEST_F(StringTest, WidthConversionsAreNotProvided)
{
    ZuStringRef s("abc");
    s->ConvertToLatin(); // nothing to do for an 8-bit string
    EXPECT_EQ(Text(s), "abc");
    EXPECT_DEATH(s->ConvertToUnicode(), "NIY");
    unsigned short buffer[4];
    EXPECT_DEATH(s->GetStringCopy(buffer, 4), "NIY");
}

// ---------------------------------------------------------------------------
// Strings bound to resources, with a stand-in for the resource manager.
// ---------------------------------------------------------------------------

// A resource descriptor resolved already (its bytes set): strings reach it
// without a resource manager. The type word stands before the data.
struct ResolvedResource {
    unsigned char bytes[16] = {};
    ZuResIDDef id{0, 0, nullptr, 0, 0};

    ResolvedResource(unsigned type, const void* data, unsigned size)
    {
        bytes[0] = static_cast<unsigned char>(type >> 8);
        bytes[1] = static_cast<unsigned char>(type);
        std::memcpy(bytes + 2, data, size);
        id.data = bytes + 2;
        id.size = size;
    }
};

TEST_F(StringTest, BoundStringFetchesItsResourceOnFirstAccess)
{
    ResolvedResource res(0x81, "res", 3); // no terminator: the size bounds it
    ZuStringRef s("");
    s->SetString(&res.id);
    EXPECT_EQ(res.id.lock_count, 0u);
    EXPECT_EQ(s->RetResID(), &res.id);
    EXPECT_EQ(s->CharacterCount(), 3u);
    EXPECT_EQ(res.id.lock_count, 1u);
    EXPECT_EQ(Text(s), "res");
    EXPECT_EQ(res.id.lock_count, 1u);
    EXPECT_TRUE(s->IsDefaultLatin());

    // A copy follows the same resource.
    ZuStringRef copy("");
    copy->SetString(s);
    EXPECT_EQ(copy->RetResID(), &res.id);
    EXPECT_EQ(copy->CompareWith("res", true), 0);

    // Changing the text unbinds it.
    s->SetCharacter(0, 'R');
    EXPECT_EQ(s->RetResID(), nullptr);
    EXPECT_EQ(Text(s), "Res");
}

TEST_F(StringTest, ResourceThatCannotBeReachedLeavesTheStringEmptyAndBound)
{
    // Not resolved and no resource manager: nothing to read.
    const unsigned short wide[] = {'o', 'k', 0};
    ResolvedResource res(0x82, wide, sizeof wide);
    const unsigned char* data = res.id.data;
    res.id.data = nullptr;
    ZuStringRef s("");
    s->SetString(&res.id);
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->RetResID(), &res.id);
    res.id.data = data;
    EXPECT_EQ(s->CharacterCount(), 2u);
    EXPECT_TRUE(s->IsDefaultUnicode());
    EXPECT_EQ(Wide(s), u"ok");
}

// The type comes from a bundle file: a type that is no text leaves the
// string empty instead of stopping the program.
TEST_F(StringTest, ResourceOfAnotherTypeLeavesTheStringEmpty)
{
    ResolvedResource res(0x10, "abc", 3);
    ZuStringRef s("");
    s->SetString(&res.id);
    EXPECT_EQ(s->CharacterCount(), 0u);
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(res.id.lock_count, 0u);
}

TEST_F(StringTest, HandlesMakeNewStringsFromTextAndShareStrings)
{
    ZuStringRef first("one");
    ZuStringRef shared = first;
    shared = "two";
    EXPECT_EQ(Text(first), "one"); // the old string is left as it was
    EXPECT_EQ(Text(shared), "two");

    ZuStringRef same(static_cast<const ZuObjectRef&>(first));
    EXPECT_TRUE(same == first);
    ZuStringRef of_atom(ZuAtomRef("name"));
    EXPECT_EQ(Text(of_atom), "name");
    ZuStringRef from_atom_object(static_cast<const ZuObjectRef&>(ZuAtomRef("other")));
    EXPECT_EQ(Text(from_atom_object), "other");
    ZuValueRef number(42);
    ZuStringRef of_value(number);
    EXPECT_EQ(Text(of_value), "42");
    EXPECT_EQ(Text(Zuvi_ValueToZuString(number)), "42");
    EXPECT_FALSE(Zuvi_ValueToZuString(ZuValueRef()).IsValid());
    ZuValueRef nothing;
    nothing.NewValue();
    EXPECT_FALSE(ZuStringRef(nothing).IsValid());
    EXPECT_FALSE(Zuvi_ValueToZuText(nothing).IsValid());
    EXPECT_FALSE(ZuStringRef(ZuObjectNull).IsValid());

    ZuTextRef text("as text");
    EXPECT_EQ(text->CharacterCount(), 7u);
    EXPECT_EQ(Text(text->RetString()), "as text");
}

TEST_F(StringTest, CopyAndCloneTakeTheText)
{
    ZuStringRef s("mine");
    s->Copy(ZuStringRef("theirs"));
    EXPECT_EQ(Text(s), "theirs");
    ZuValueRef foreign(1);
    s->Copy(foreign);
    EXPECT_EQ(Text(s), "theirs");
    ZuStringRef clone(s->Clone());
    ASSERT_TRUE(clone.IsValid());
    EXPECT_FALSE(clone == s);
    EXPECT_EQ(Text(clone), "theirs");
    ZuStringRef copy;
    EXPECT_TRUE(s->GetString(copy));
    EXPECT_FALSE(copy == s);
    EXPECT_EQ(Text(copy), "theirs");
}

TEST_F(StringTest, TextIsAbstract)
{
    EXPECT_DEATH(ZuNew<ZuText>(Zuvi_app_zone, __LINE__, "test"), "Cannot instanciate ZuText");
}

TEST_F(StringTest, DeclaresItsChangeNotification)
{
    EXPECT_EQ(ZuStringRef::RetRuntime()->CountNotify(ZuAtomRef("string")), 1u);
}

// ---------------------------------------------------------------------------
// Stored form
// ---------------------------------------------------------------------------

ZuStringRef StoredAndRestored(const ZuStringRef& string)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage->StoreObject(string);
    storage->StartRestoring(storage->Bytes());
    ZuObjectRef restored;
    storage->RestoreObject(restored, ZuStringRef::RetRuntime());
    return ZuStringRef(static_cast<ZuString*>(restored.Resolve()));
}

TEST_F(StringTest, StoresAndRestoresBothWidths)
{
    ZuStringRef latin("caf\xE9");
    ZuStringRef back = StoredAndRestored(latin);
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->IsDefaultLatin());
    EXPECT_EQ(Text(back), "caf\xE9");

    ZuStringRef wide("");
    const unsigned short text[] = {'a', 0x20AC, 0x0100, 0};
    wide->SetString(text, 0);
    back = StoredAndRestored(wide);
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->IsDefaultUnicode());
    EXPECT_EQ(Wide(back), u"a\u20AC\u0100");

    static const char solid[] = "solid";
    ZuStringRef borrowed("");
    borrowed->SetSolidString(solid);
    back = StoredAndRestored(borrowed);
    EXPECT_EQ(Text(back), "solid");
    EXPECT_NE(back->AccessLatin(), solid); // restored into its own buffer

    back = StoredAndRestored(ZuStringRef(""));
    EXPECT_TRUE(back->IsEmpty());
}

TEST_F(StringTest, StoresTheTextOfABoundString)
{
    ResolvedResource res(0x81, "bound", 5);
    ZuStringRef s("");
    s->SetString(&res.id);
    ZuStringRef back = StoredAndRestored(s);
    EXPECT_EQ(Text(back), "bound");
}

} // namespace

// A string whose stored form claims more characters than it holds, as a
// damaged file would.
ZU_HANDLE(ZuLyingString, ZuString)
class ZuLyingString : public ZuString {
    ZU_CLASS(ZuLyingString, ZuString)
public:
    ZuLyingString() {}
    unsigned claimed_len = 0x7FFFFF00u;
    unsigned claimed_type = 1;
    unsigned claimed_res = 0;

protected:
    void StoreInstance(const ZuStorageRef& storage) override
    {
        ZuObject::StoreInstance(storage);
        static ZuStorageSync record("<ZuString type len res_id : (data) >");
        storage << record << ZuStorageSync::begin;
        storage << claimed_type << claimed_len << claimed_res;
        storage << ZuStorageSync::mark;
        storage->StoreBinData("abc", 3);
        storage << ZuStorageSync::end;
    }
};
ZU_CLASS_END(ZuLyingString)
ZU_IMPLEMENT_CLASS(ZuLyingString, "tests/si/string_test", ZU_CLASS_PLAIN)

namespace {

TEST_F(StringTest, RestoreRefusesALengthTheDataDoesNotHold)
{
    struct {
        unsigned type, len, res;
    } const cases[] = {{1, 0x7FFFFF00u, 0}, {1, 70000, 0}, {1, 4, 0},           {2, 2, 0},
                       {7, 3, 0},           {0, 3, 0},     {1, 0xFFFFFFFFu, 0}, {1, 3, 5}};
    for (const auto& c : cases) {
        ZuLyingStringRef liar(static_cast<ZuLyingString*>(
            ZuClassFactory::New(ZuLyingStringRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test")));
        liar->claimed_type = c.type;
        liar->claimed_len = c.len;
        liar->claimed_res = c.res;
        ZuTestStorageRef storage = ZuTestStorage::Make();
        storage->StartStoring();
        storage->StoreObject(liar);
        storage->StartRestoring(storage->Bytes());
        ZuObjectRef restored;
        EXPECT_THROW(storage->RestoreObject(restored, ZuStringRef::RetRuntime()), ZuExcStream)
            << c.type << " " << c.len << " " << c.res;
    }
    // The same record told truthfully comes back.
    ZuLyingStringRef honest(static_cast<ZuLyingString*>(
        ZuClassFactory::New(ZuLyingStringRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test")));
    honest->claimed_len = 3;
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage->StoreObject(honest);
    storage->StartRestoring(storage->Bytes());
    ZuObjectRef restored;
    storage->RestoreObject(restored, ZuStringRef::RetRuntime());
    ASSERT_TRUE(restored.IsValid());
    EXPECT_EQ(Text(ZuStringRef(restored)), "abc");
}

} // namespace
