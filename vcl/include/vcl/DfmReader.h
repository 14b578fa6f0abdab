// The reader of the text form format:
//
//   object FTarvik: TFTarvik
//     Left = 284
//     Caption = 'Lathmere'#10'next line'
//     Font.Style = [fsBold]
//     Icon.Data = {0000010001...}
//     object BtnOK: TButton
//       OnClick = BtnOKClick
//     end
//   end
//
// It is strict: anything it does not understand is an EReadError that says
// what and where (line and column), and no name is ever silently ignored.
#pragma once

#include "vcl/Classes.h"
#include "vcl/Graphics.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vcl {

struct TDfmValue {
    enum class Kind { Integer, Identifier, String, Set, Binary };

    Kind kind = Kind::Integer;
    std::int64_t integer = 0;
    String text;                     // Identifier and String
    std::vector<String> elements;    // Set
    std::vector<std::uint8_t> bytes; // Binary
    int line = 0;
    int column = 0;
};

struct TDfmProperty {
    String name; // dotted: "Font.Height"
    TDfmValue value;
    int line = 0;
    int column = 0;
};

struct TDfmObject {
    String name;
    String className;
    std::vector<TDfmProperty> properties;
    std::vector<TDfmObject> children;
    int line = 0;
    int column = 0;
};

// Parses a whole description: exactly one object, then nothing but white
// space. Nesting deeper than a few levels is refused.
TDfmObject ParseDfm(std::string_view text);

// Case-insensitive comparison of ASCII names, as the format's names are.
bool SameText(std::string_view a, std::string_view b);

class TForm;

// One property value as a component reads it; each accessor raises
// EReadError at the value's place when the value is not of that kind.
class TPropertyReader {
public:
    TPropertyReader(const TDfmValue &value, TForm &form, const TClassInfo &classInfo)
        : value_(value), form_(form), classInfo_(classInfo)
    {
    }

    int Integer() const;
    bool Boolean() const;
    String Text() const;
    TColor Color() const;
    int Charset() const;
    unsigned FontStyles() const;
    std::vector<std::uint8_t> Binary() const;
    TNotifyEvent Handler() const;

    [[noreturn]] void Fail(const String &message) const;

private:
    const TDfmValue &value_;
    TForm &form_;
    const TClassInfo &classInfo_;
};

// Builds `form` from `text`: the root object must be of the form's class;
// every child must be a published member of a known class and is created,
// bound and read; every published member must be present.
void ReadForm(TForm &form, const TClassInfo &classInfo, std::string_view text);

// The layer's message for a place in a description.
String AtPlace(const String &message, int line, int column);

} // namespace vcl
