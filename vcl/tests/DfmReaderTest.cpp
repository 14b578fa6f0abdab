// The text form format: what the parser makes of good descriptions, and the
// exact error, with its place, for bad ones.
#include "vcl/DfmReader.h"

#include <gtest/gtest.h>

namespace vcl {
namespace {

TEST(ParseDfm, ReadsEveryKindOfValue)
{
    const TDfmObject root = ParseDfm("object F: TF\n"
                                     "  Left = -284\n"
                                     "  Top = $10\n"
                                     "  Color = clBtnFace\n"
                                     "  Caption = 'It''s'#10'two'#$41 +\n"
                                     "    ' lines'#233\n"
                                     "  Font.Style = [fsBold, fsItalic]\n"
                                     "  Empty = []\n"
                                     "  Icon.Data = {\n"
                                     "    00FF 10\n"
                                     "    ab}\n"
                                     "  object B: TButton\n"
                                     "    OnClick = BClick\n"
                                     "  end\n"
                                     "end\n");
    EXPECT_EQ(root.name, "F");
    EXPECT_EQ(root.className, "TF");
    ASSERT_EQ(root.properties.size(), 7u);
    EXPECT_EQ(root.properties[0].value.integer, -284);
    EXPECT_EQ(root.properties[1].value.integer, 16);
    EXPECT_EQ(root.properties[2].value.kind, TDfmValue::Kind::Identifier);
    EXPECT_EQ(root.properties[2].value.text, "clBtnFace");
    EXPECT_EQ(root.properties[3].value.text, "It's\ntwoA lines\xC3\xA9");
    EXPECT_EQ(root.properties[4].name, "Font.Style");
    EXPECT_EQ(root.properties[4].value.elements, (std::vector<String>{"fsBold", "fsItalic"}));
    EXPECT_TRUE(root.properties[5].value.elements.empty());
    EXPECT_EQ(root.properties[6].value.bytes, (std::vector<std::uint8_t>{0x00, 0xFF, 0x10, 0xAB}));
    EXPECT_EQ(root.properties[6].line, 9);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].line, 12);
    EXPECT_EQ(root.children[0].column, 3);
    EXPECT_EQ(root.children[0].properties[0].value.text, "BClick");
}

TEST(ParseDfm, KeywordsAndNamesAreCaseInsensitiveAndLineEndingsMayBeCrLf)
{
    const TDfmObject root = ParseDfm("OBJECT F: TF\r\n  Left = 1\r\nEnd\r\n");
    EXPECT_EQ(root.properties.at(0).name, "Left");
    EXPECT_TRUE(SameText("clRED", "clRed"));
    EXPECT_FALSE(SameText("clRed", "clRe"));
}

TEST(ParseDfm, RefusesWhatItDoesNotUnderstandSayingWhatAndWhere)
{
    const struct {
        const char *text;
        const char *message;
    } cases[] = {
        {"", "« object » attendu, fin de la description trouvée, ligne 1, colonne 1"},
        {"object F TF\nend", "« : » attendu, « T » trouvé, ligne 1, colonne 10"},
        {"object F: TF\n  Left 1\nend", "« = » attendu, « 1 » trouvé, ligne 2, colonne 8"},
        {"object F: TF\n  Left = 1", "propriété, « object » ou « end » attendus, fin de la "
                                     "description trouvée, ligne 2, colonne 11"},
        {"object F: TF\n  Caption = 'abc\nend", "chaîne non terminée, ligne 2, colonne 17"},
        {"object F: TF\n  Left = 99999999999\nend", "nombre trop grand, ligne 2, colonne 10"},
        {"object F: TF\n  Left = 1.5\nend",
         "nombres décimaux non pris en charge, ligne 2, colonne 10"},
        {"object F: TF\n  Left = 12ab\nend", "fin du nombre attendu, « a » trouvé, ligne 2, colonne 12"},
        {"object F: TF\n  S = [fsBold fsItalic]\nend",
         "« , » ou « ] » attendu, « f » trouvé, ligne 2, colonne 15"},
        {"object F: TF\n  D = {0F1}\nend",
         "nombre impair de chiffres hexadécimaux, ligne 2, colonne 11"},
        {"object F: TF\n  D = {0G}\nend", "chiffre hexadécimal attendu, « G » trouvé, ligne 2, colonne 9"},
        {"object F: TF\n  C = #1114112\nend", "code de caractère non valide, ligne 2, colonne 8"},
        {"object F: TF\n  L = (1 2)\nend",
         "listes et collections non prises en charge, ligne 2, colonne 7"},
        {"inherited F: TF\nend", "« object » attendu, « i » trouvé, ligne 1, colonne 1"},
        {"object F: TF\nend\nobject G: TG\nend",
         "texte en trop après la fin de l'objet, ligne 3, colonne 1"},
        {"object F: TF\n  object B: TB\n  end\n  Left = 1\nend",
         "propriété après un composant enfant, ligne 4, colonne 3"},
        {"object F: TF\n  Caption = \x01\nend",
         "valeur attendue, caractère 0x01 trouvé, ligne 2, colonne 13"},
    };
    for (const auto &c : cases) {
        try {
            ParseDfm(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EReadError &error) {
            EXPECT_EQ(error.Message(), c.message) << c.text;
        }
    }
}

TEST(ParseDfm, RefusesDeepNestingInsteadOfRecursingWithoutEnd)
{
    String text;
    for (int i = 0; i < 10000; ++i)
        text += "object A: TA\n";
    EXPECT_THROW(ParseDfm(text), EReadError);
}

} // namespace
} // namespace vcl
