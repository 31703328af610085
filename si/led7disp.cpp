#include "si/led7disp.h"

#include "si/grail.h"
#include "si/lookman.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuLed7Display, "si/led7disp", ZU_CLASS_PLAIN)

namespace {

const unsigned char kBlank = 16;
const unsigned char kMinus = 17;

// The segments of each code, one bit each: top, middle, bottom, upper
// left, lower left, upper right, lower right.
enum : unsigned char {
    kTop = 1,
    kMiddle = 2,
    kBottom = 4,
    kUpperLeft = 8,
    kLowerLeft = 16,
    kUpperRight = 32,
    kLowerRight = 64
};
const unsigned char kSegments[18] = {
    kTop | kBottom | kUpperLeft | kLowerLeft | kUpperRight | kLowerRight,           // 0
    kUpperRight | kLowerRight,                                                      // 1
    kTop | kMiddle | kBottom | kLowerLeft | kUpperRight,                            // 2
    kTop | kMiddle | kBottom | kUpperRight | kLowerRight,                           // 3
    kMiddle | kUpperLeft | kUpperRight | kLowerRight,                               // 4
    kTop | kMiddle | kBottom | kUpperLeft | kLowerRight,                            // 5
    kTop | kMiddle | kBottom | kUpperLeft | kLowerLeft | kLowerRight,               // 6
    kTop | kUpperRight | kLowerRight,                                               // 7
    kTop | kMiddle | kBottom | kUpperLeft | kLowerLeft | kUpperRight | kLowerRight, // 8
    kTop | kMiddle | kBottom | kUpperLeft | kUpperRight | kLowerRight,              // 9
    kTop | kMiddle | kUpperLeft | kLowerLeft | kUpperRight | kLowerRight,           // A
    kMiddle | kBottom | kUpperLeft | kLowerLeft | kLowerRight,                      // b
    kTop | kBottom | kUpperLeft | kLowerLeft,                                       // C
    kMiddle | kBottom | kLowerLeft | kUpperRight | kLowerRight,                     // d
    kTop | kMiddle | kBottom | kUpperLeft | kLowerLeft,                             // E
    kTop | kMiddle | kUpperLeft | kLowerLeft,                                       // F
    0,                                                                              // blank
    kMiddle,                                                                        // minus
};

const unsigned kSegmentLength = 5;

ZuLed7Display* AsDisplay(ZuObject* object)
{
    return static_cast<ZuLed7Display*>(object);
}

void GetDigits(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(AsDisplay(object)->RetDigits());
}
bool SetDigits(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && AsDisplay(object)->SetDigits(Zuvi_ValueToCount(value));
}

void DeclareLed7Data(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef item = {&ZuLed7DisplayRef::RetRuntime(),
                                   "led_digits",
                                   "Digits",
                                   &Count_type,
                                   true,
                                   true,
                                   &GetDigits,
                                   &SetDigits};
    runtime->PublishData(item);
}
Zuvi_PubDataExport led7_data(&DeclareLed7Data, ZuLed7DisplayRef::RetRuntime());

// The look's relief on each side.
double Relief()
{
    const ZuLookManRef& look = ZuLookMan::Current();
    return look.IsValid() ? look->Ret3DEffectWidth() : 0;
}

} // namespace

ZuLed7Display::ZuLed7Display() : color(1.0, 0.0, 0.0, 0.0)
{
    state.SetBit(ZU_VIEW_NO_DETECT);
    state.ClearBit(ZU_VIEW_OK_ACTIVE);
    style.SetBit(ZU_CTRL_DRAW_RELIEF);
}

bool ZuLed7Display::SetDigitsSign(unsigned new_digits, bool sign)
{
    digits = new_digits;
    is_signed = sign;
    return true;
}

bool ZuLed7Display::SetDigits(unsigned new_digits)
{
    digits = new_digits;
    return true;
}

bool ZuLed7Display::SetSign(bool sign)
{
    is_signed = sign;
    return true;
}

bool ZuLed7Display::SetColor(const ZuColorPixel& new_color)
{
    color = new_color;
    return true;
}

unsigned ZuLed7Display::RetDigits() const
{
    return digits;
}

bool ZuLed7Display::RetSigned() const
{
    return is_signed;
}

ZuColorPixel ZuLed7Display::RetColor() const
{
    return color;
}

ZuLed7Display::Places ZuLed7Display::ReadPlaces(const ZuStringRef& text, bool sign)
{
    Places places;
    for (unsigned i = 0; i < kMaxPlaces; ++i) {
        places.code[i] = kBlank;
        places.point[i] = false;
    }
    if (text.IsInvalid())
        return places;
    unsigned length = text->CharacterCount();
    if (length > kMaxRead)
        length = kMaxRead;
    bool minus = false;
    for (unsigned i = 0; i < length; ++i) {
        unsigned short c = 0;
        text->GetCharacter(i, c);
        int code = -1;
        if (c >= '0' && c <= '9')
            code = c - '0';
        else if (c >= 'A' && c <= 'F')
            code = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            code = c - 'a' + 10;
        if (code >= 0) {
            // The sign's place stays blank before the first digit.
            if (places.count == 0 && !minus && sign)
                places.count = 1;
            // 31 characters with the sign's place fill the 32 places at most.
            if (places.count < kMaxPlaces)
                places.code[places.count++] = static_cast<unsigned char>(code);
        } else if (c == '-') {
            if (places.count == 0) {
                places.code[0] = kMinus;
                places.count = 1;
                minus = true;
            }
        } else if (c == '.' || c == ',') {
            if (places.count > 0)
                places.point[places.count - 1] = true;
        }
    }
    return places;
}

void ZuLed7Display::GetMinSize(double& dx, double& dy) const
{
    const double m = Relief();
    const unsigned places = digits != 0 ? digits : ReadPlaces(text, is_signed).count;
    dx = 10.0 * places + 2 * m;
    dy = 12 + 2 * m;
}

void ZuLed7Display::GetMaxSize(double& dx, double& dy) const
{
    GetMinSize(dx, dy);
}

void ZuLed7Display::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuTextTagBase::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    const Places places = ReadPlaces(text, is_signed);
    port->SetForeColor(color);
    for (unsigned i = places.count; i-- > 0;) {
        const double x = box.X1() + 10.0 * i + 3;
        const double y = box.Y1() + 3;
        const unsigned char lit = kSegments[places.code[i]];
        if (lit & kTop)
            port->DrawLineDX(x + 2, y, kSegmentLength);
        if (lit & kMiddle)
            port->DrawLineDX(x + 2, y + 6, kSegmentLength);
        if (lit & kBottom)
            port->DrawLineDX(x + 2, y + 12, kSegmentLength);
        if (lit & kUpperLeft)
            port->DrawLineDY(x + 1, y + 1, kSegmentLength);
        if (lit & kLowerLeft)
            port->DrawLineDY(x + 1, y + 7, kSegmentLength);
        if (lit & kUpperRight)
            port->DrawLineDY(x + 7, y + 1, kSegmentLength);
        if (lit & kLowerRight)
            port->DrawLineDY(x + 7, y + 7, kSegmentLength);
        if (places.point[i])
            port->DrawDot(x + 9, y + 13);
    }
}

void ZuLed7Display::StoreInstance(const ZuStorageRef& storage)
{
    ZuTextTagBase::StoreInstance(storage);
    static ZuStorageSync record("<ZuLed7Display led_color led_digits led_signed>");
    storage << record << ZuStorageSync::begin;
    storage << color;
    storage->StoreCard(digits);
    storage->StoreBool(is_signed);
    storage << ZuStorageSync::end;
}

void ZuLed7Display::RestoreInstance(const ZuStorageRef& storage)
{
    ZuTextTagBase::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage >> color;
    digits = static_cast<unsigned>(storage->RestoreCard(digits));
    is_signed = storage->RestoreBool(is_signed);
    storage >> ZuStorageSync::end;
}
