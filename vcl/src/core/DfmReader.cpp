#include "vcl/DfmReader.h"

#include "vcl/Forms.h"

#include <cctype>
#include <cstdio>
#include <limits>

namespace vcl {
namespace {

constexpr int kMaxDepth = 8;

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(String &out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    TDfmObject Document()
    {
        SkipSpace();
        TDfmObject root = Object(0);
        SkipSpace();
        if (!AtEnd())
            Fail("texte en trop après la fin de l'objet");
        return root;
    }

private:
    [[noreturn]] void Fail(const String &message) const { FailAt(message, line_, column_); }
    [[noreturn]] static void FailAt(const String &message, int line, int column)
    {
        throw EReadError(AtPlace(message, line, column), line, column);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    void Advance()
    {
        if (text_[pos_] == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        ++pos_;
    }

    void SkipSpace()
    {
        while (!AtEnd() && IsSpace(Peek()))
            Advance();
    }

    [[noreturn]] void Unexpected(const String &expected) const
    {
        if (AtEnd())
            FailAt(expected + ", fin de la description trouvée", line_, column_);
        const auto c = static_cast<unsigned char>(Peek());
        char found[64];
        if (c >= 0x21 && c < 0x7F)
            std::snprintf(found, sizeof found, "« %c » trouvé", c);
        else
            std::snprintf(found, sizeof found, "caractère 0x%02X trouvé", c);
        FailAt(expected + ", " + found, line_, column_);
    }

    String Identifier(const String &what)
    {
        if (!IsIdentStart(Peek()))
            Unexpected(what);
        const std::size_t start = pos_;
        while (!AtEnd() && IsIdentChar(Peek()))
            Advance();
        return String(text_.substr(start, pos_ - start));
    }

    void Expect(char c, const char *what)
    {
        SkipSpace();
        if (Peek() != c)
            Unexpected(String(what) + " attendu");
        Advance();
    }

    bool AtKeyword(const char *keyword) const
    {
        std::size_t i = 0;
        for (; keyword[i] != '\0'; ++i)
            if (pos_ + i >= text_.size() ||
                std::tolower(static_cast<unsigned char>(text_[pos_ + i])) != keyword[i])
                return false;
        return pos_ + i >= text_.size() || !IsIdentChar(text_[pos_ + i]);
    }

    TDfmObject Object(int depth)
    {
        if (depth >= kMaxDepth)
            Fail("imbrication trop profonde");
        TDfmObject object;
        object.line = line_;
        object.column = column_;
        if (!AtKeyword("object"))
            Unexpected("« object » attendu");
        Identifier("« object » attendu");
        SkipSpace();
        object.name = Identifier("nom de composant attendu");
        Expect(':', "« : »");
        SkipSpace();
        object.className = Identifier("nom de classe attendu");

        bool childrenStarted = false;
        for (;;) {
            SkipSpace();
            if (AtKeyword("end")) {
                Identifier("« end » attendu");
                return object;
            }
            if (AtKeyword("object")) {
                childrenStarted = true;
                object.children.push_back(Object(depth + 1));
                continue;
            }
            if (AtKeyword("inherited") || AtKeyword("inline"))
                Fail("seuls les objets « object » sont pris en charge");
            if (!IsIdentStart(Peek()))
                Unexpected("propriété, « object » ou « end » attendus");
            if (childrenStarted)
                Fail("propriété après un composant enfant");
            object.properties.push_back(Property());
        }
    }

    TDfmProperty Property()
    {
        TDfmProperty property;
        property.line = line_;
        property.column = column_;
        property.name = Identifier("nom de propriété attendu");
        while (Peek() == '.') {
            Advance();
            property.name += '.';
            property.name += Identifier("nom de propriété attendu");
        }
        Expect('=', "« = »");
        SkipSpace();
        property.value = Value();
        return property;
    }

    TDfmValue Value()
    {
        TDfmValue value;
        value.line = line_;
        value.column = column_;
        const char c = Peek();
        if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            value.kind = TDfmValue::Kind::Integer;
            value.integer = Integer();
        } else if (IsIdentStart(c)) {
            value.kind = TDfmValue::Kind::Identifier;
            value.text = Identifier("valeur attendue");
            while (Peek() == '.') {
                Advance();
                value.text += '.';
                value.text += Identifier("identificateur attendu");
            }
        } else if (c == '\'' || c == '#') {
            value.kind = TDfmValue::Kind::String;
            value.text = StringValue();
        } else if (c == '[') {
            value.kind = TDfmValue::Kind::Set;
            value.elements = Set();
        } else if (c == '{') {
            value.kind = TDfmValue::Kind::Binary;
            value.bytes = Binary();
        } else if (c == '(' || c == '<') {
            Fail("listes et collections non prises en charge");
        } else {
            Unexpected("valeur attendue");
        }
        return value;
    }

    std::int64_t Integer()
    {
        const int startLine = line_;
        const int startColumn = column_;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            Advance();
        }
        const int base = Peek() == '$' ? 16 : 10;
        if (base == 16)
            Advance();
        std::int64_t value = 0;
        int digits = 0;
        for (;;) {
            const char d = Peek();
            const int digit = base == 16 ? HexValue(d)
                                         : (std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                                                                                       : -1);
            if (digit < 0)
                break;
            value = value * base + digit;
            if (value > 0xFFFFFFFFLL)
                FailAt("nombre trop grand", startLine, startColumn);
            ++digits;
            Advance();
        }
        if (digits == 0)
            Unexpected("chiffre attendu");
        if (Peek() == '.' || Peek() == 'e' || Peek() == 'E')
            FailAt("nombres décimaux non pris en charge", startLine, startColumn);
        if (IsIdentChar(Peek()))
            Unexpected("fin du nombre attendu");
        if (base == 16 && value > 0x7FFFFFFFLL)
            value -= 0x100000000LL; // $FFFFFFFF is -1, as a 32-bit integer
        if (negative)
            value = -value;
        if (value > std::numeric_limits<std::int32_t>::max() ||
            value < std::numeric_limits<std::int32_t>::min())
            FailAt("nombre trop grand", startLine, startColumn);
        return value;
    }

    String StringValue()
    {
        String out;
        for (;;) {
            if (Peek() == '\'') {
                Advance();
                for (;;) {
                    if (AtEnd() || Peek() == '\n' || Peek() == '\r')
                        Fail("chaîne non terminée");
                    if (Peek() == '\'') {
                        Advance();
                        if (Peek() != '\'')
                            break;
                    }
                    out += Peek();
                    Advance();
                }
            } else if (Peek() == '#') {
                Advance();
                const int line = line_;
                const int column = column_;
                const std::int64_t code = Peek() == '$' || std::isdigit(static_cast<unsigned char>(Peek()))
                                              ? Integer()
                                              : (Unexpected("code de caractère attendu"), 0);
                if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    FailAt("code de caractère non valide", line, column);
                AppendUtf8(out, static_cast<std::uint32_t>(code));
            } else {
                return out;
            }
            // A long string goes on after a '+' on the next line.
            const std::size_t mark = pos_;
            const int markLine = line_;
            const int markColumn = column_;
            SkipSpace();
            if (Peek() == '+') {
                Advance();
                SkipSpace();
                if (Peek() != '\'' && Peek() != '#')
                    Unexpected("chaîne attendue");
            } else if (Peek() != '\'' && Peek() != '#') {
                pos_ = mark;
                line_ = markLine;
                column_ = markColumn;
                return out;
            }
        }
    }

    std::vector<String> Set()
    {
        Advance(); // '['
        std::vector<String> elements;
        SkipSpace();
        if (Peek() == ']') {
            Advance();
            return elements;
        }
        for (;;) {
            SkipSpace();
            elements.push_back(Identifier("élément d'ensemble attendu"));
            SkipSpace();
            if (Peek() == ']') {
                Advance();
                return elements;
            }
            if (Peek() != ',')
                Unexpected("« , » ou « ] » attendu");
            Advance();
        }
    }

    std::vector<std::uint8_t> Binary()
    {
        Advance(); // '{'
        std::vector<std::uint8_t> bytes;
        int high = -1;
        for (;;) {
            if (AtEnd())
                Fail("donnée binaire non terminée");
            const char c = Peek();
            if (c == '}') {
                if (high >= 0)
                    Fail("nombre impair de chiffres hexadécimaux");
                Advance();
                return bytes;
            }
            if (IsSpace(c)) {
                Advance();
                continue;
            }
            const int digit = HexValue(c);
            if (digit < 0)
                Unexpected("chiffre hexadécimal attendu");
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
                high = -1;
            }
            Advance();
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
};

struct NamedValue {
    const char *name;
    int value;
};

constexpr NamedValue kColors[] = {
    {"clBlack", clBlack},         {"clMaroon", clMaroon},   {"clGreen", clGreen},
    {"clNavy", clNavy},           {"clGray", clGray},       {"clRed", clRed},
    {"clLime", clLime},           {"clBlue", clBlue},       {"clWhite", clWhite},
    {"clWindowText", clWindowText}, {"clBtnFace", clBtnFace}, {"clBtnText", clBtnText},
    {"clWindow", clWindow},
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0},
    {"DEFAULT_CHARSET", 1},
    {"SYMBOL_CHARSET", 2},
    {"OEM_CHARSET", 255},
};

constexpr NamedValue kFontStyles[] = {
    {"fsBold", fsBold},
    {"fsItalic", fsItalic},
    {"fsUnderline", fsUnderline},
    {"fsStrikeOut", fsStrikeOut},
};

template <std::size_t N>
const NamedValue *FindNamed(const NamedValue (&table)[N], const String &name)
{
    for (const auto &entry : table)
        if (SameText(entry.name, name))
            return &entry;
    return nullptr;
}

TControl *CreateComponent(const String &className, TForm &owner)
{
    if (SameText(className, "TLabel"))
        return new TLabel(&owner);
    if (SameText(className, "TButton"))
        return new TButton(&owner);
    return nullptr;
}

void ReadProperties(TControl &control, const std::vector<TDfmProperty> &properties, TForm &form,
                    const TClassInfo &classInfo)
{
    for (std::size_t i = 0; i < properties.size(); ++i) {
        const auto &property = properties[i];
        for (std::size_t j = 0; j < i; ++j)
            if (SameText(properties[j].name, property.name))
                throw EReadError(AtPlace("propriété " + property.name + " en double",
                                         property.line, property.column),
                                 property.line, property.column);
        const TPropertyReader reader(property.value, form, classInfo);
        if (!control.ReadProperty(property.name, reader))
            throw EReadError(AtPlace("la propriété " + property.name + " n'existe pas pour " +
                                         control.ClassName(),
                                     property.line, property.column),
                             property.line, property.column);
    }
}

} // namespace

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

String AtPlace(const String &message, int line, int column)
{
    return message + ", ligne " + std::to_string(line) + ", colonne " + std::to_string(column);
}

TDfmObject ParseDfm(std::string_view text)
{
    return Parser(text).Document();
}

void TPropertyReader::Fail(const String &message) const
{
    throw EReadError(AtPlace(message, value_.line, value_.column), value_.line, value_.column);
}

int TPropertyReader::Integer() const
{
    if (value_.kind != TDfmValue::Kind::Integer)
        Fail("nombre entier attendu");
    return static_cast<int>(value_.integer);
}

bool TPropertyReader::Boolean() const
{
    if (value_.kind == TDfmValue::Kind::Identifier) {
        if (SameText(value_.text, "True"))
            return true;
        if (SameText(value_.text, "False"))
            return false;
    }
    Fail("True ou False attendu");
}

String TPropertyReader::Text() const
{
    if (value_.kind != TDfmValue::Kind::String)
        Fail("chaîne attendue");
    return value_.text;
}

TColor TPropertyReader::Color() const
{
    if (value_.kind == TDfmValue::Kind::Integer)
        return static_cast<TColor>(value_.integer);
    if (value_.kind == TDfmValue::Kind::Identifier) {
        if (const auto *named = FindNamed(kColors, value_.text))
            return named->value;
        Fail("couleur " + value_.text + " inconnue");
    }
    Fail("couleur attendue");
}

int TPropertyReader::Charset() const
{
    if (value_.kind == TDfmValue::Kind::Integer && value_.integer >= 0 && value_.integer <= 255)
        return static_cast<int>(value_.integer);
    if (value_.kind == TDfmValue::Kind::Identifier) {
        if (const auto *named = FindNamed(kCharsets, value_.text))
            return named->value;
        Fail("jeu de caractères " + value_.text + " inconnu");
    }
    Fail("jeu de caractères attendu");
}

unsigned TPropertyReader::FontStyles() const
{
    if (value_.kind != TDfmValue::Kind::Set)
        Fail("ensemble de styles attendu");
    unsigned styles = 0;
    for (const auto &element : value_.elements) {
        const auto *named = FindNamed(kFontStyles, element);
        if (named == nullptr)
            Fail("style de police " + element + " inconnu");
        styles |= static_cast<unsigned>(named->value);
    }
    return styles;
}

std::vector<std::uint8_t> TPropertyReader::Binary() const
{
    if (value_.kind != TDfmValue::Kind::Binary)
        Fail("donnée binaire attendue");
    return value_.bytes;
}

TNotifyEvent TPropertyReader::Handler() const
{
    if (value_.kind != TDfmValue::Kind::Identifier)
        Fail("nom de méthode attendu");
    const TPublishedEntry *entry = classInfo_.Find(value_.text);
    if (entry == nullptr || entry->kind != TPublishedEntry::Kind::Handler)
        Fail("méthode " + value_.text + " introuvable dans " + classInfo_.ClassName());
    return entry->bind(form_);
}

void ReadForm(TForm &form, const TClassInfo &classInfo, std::string_view text)
{
    const TDfmObject root = ParseDfm(text);
    if (!SameText(root.className, classInfo.ClassName()))
        throw EReadError(AtPlace("la description est celle de la classe " + root.className +
                                     " et non de " + classInfo.ClassName(),
                                 root.line, root.column),
                         root.line, root.column);
    form.SetName(root.name);
    form.SetLoading(true);
    ReadProperties(form, root.properties, form, classInfo);

    for (const auto &child : root.children) {
        const auto fail = [&child](const String &message) {
            throw EReadError(AtPlace(message, child.line, child.column), child.line,
                             child.column);
        };
        const TPublishedEntry *entry = classInfo.Find(child.name);
        if (entry == nullptr || entry->kind != TPublishedEntry::Kind::Member)
            fail("le composant " + child.name + " n'est pas publié par " +
                 classInfo.ClassName());
        if (entry->isAssigned(form))
            fail("composant " + child.name + " en double");
        if (!child.children.empty())
            fail("le composant " + child.name + " ne peut contenir d'autres composants");
        TControl *control = CreateComponent(child.className, form);
        if (control == nullptr)
            fail("classe " + child.className + " introuvable");
        control->SetName(child.name);
        control->SetLoading(true);
        form.InsertControl(control);
        if (!entry->assign(form, control))
            fail("le composant " + child.name + " n'est pas de la classe attendue, " +
                 child.className + " trouvée");
        ReadProperties(*control, child.properties, form, classInfo);
    }

    for (const auto &entry : classInfo.Entries())
        if (entry.kind == TPublishedEntry::Kind::Member && !entry.isAssigned(form))
            throw EReadError("composant " + String(entry.name) + " absent de la description");

    form.Loaded();
}

} // namespace vcl
