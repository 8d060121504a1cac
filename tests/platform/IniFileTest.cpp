#include "core/IniFile.h"

#include "TestFiles.h"

#include <climits>
#include <gtest/gtest.h>

using platform::IniFile;
using testfiles::ReadBytes;
using testfiles::ScratchDir;
using testfiles::WriteBytes;

namespace {

TEST(IniFile, NewFileHoldsSectionsInWritingOrderWithCrlf) {
    ScratchDir dir;
    IniFile ini(dir.File("Kestrova.INI"));
    EXPECT_TRUE(ini.WriteString("couleurs", "fond", "00FFFFFF"));
    EXPECT_TRUE(ini.WriteString("couleurs", "axe 0", "00000000"));
    EXPECT_TRUE(ini.WriteInteger("epaisseurs", "axe", 2));
    EXPECT_TRUE(ini.WriteString("couleurs", "f point 10", "00FFFF80"));
    EXPECT_TRUE(ini.WriteInteger("points", "forme 11", -3));
    EXPECT_TRUE(ini.WriteBool("points", "actif", true));

    EXPECT_EQ(ReadBytes(ini.FileName()), "[couleurs]\r\n"
                                         "fond=00FFFFFF\r\n"
                                         "axe 0=00000000\r\n"
                                         "f point 10=00FFFF80\r\n"
                                         "[epaisseurs]\r\n"
                                         "axe=2\r\n"
                                         "[points]\r\n"
                                         "forme 11=-3\r\n"
                                         "actif=1\r\n");

    // Another object on the same file sees every value.
    IniFile again(dir.File("Kestrova.INI"));
    EXPECT_EQ(again.ReadString("couleurs", "axe 0", "?"), "00000000");
    EXPECT_EQ(again.ReadString("couleurs", "f point 10", "?"), "00FFFF80");
    EXPECT_EQ(again.ReadInteger("epaisseurs", "axe", 0), 2);
    EXPECT_EQ(again.ReadInteger("points", "forme 11", 0), -3);
    EXPECT_TRUE(again.ReadBool("points", "actif", false));
}

TEST(IniFile, SectionsAndKeysIgnoreCaseAndValuesAreReplacedWhereTheyStand) {
    ScratchDir dir;
    const std::string path = dir.File("opts.ini");
    WriteBytes(path,
               "[Couleurs]\r\nFond=00FF00FF\r\nAXE 0 = 00000011\r\n[Points]\r\nForme 10=1\r\n");
    IniFile ini(path);

    EXPECT_EQ(ini.ReadString("couleurs", "fond", "?"), "00FF00FF");
    EXPECT_EQ(ini.ReadString("COULEURS", "axe 0", "?"), "00000011");
    EXPECT_EQ(ini.ReadInteger("points", "FORME 10", 0), 1);
    EXPECT_TRUE(ini.ValueExists("couleurs", "AXE 0"));
    EXPECT_TRUE(ini.SectionExists("POINTS"));

    ASSERT_TRUE(ini.WriteString("couleurs", "FOND", "00123456"));
    ASSERT_TRUE(ini.WriteString("couleurs", "axe 0", "000000AA"));
    // No second section or key appears; the file's spelling of keys stays.
    EXPECT_EQ(ReadBytes(path),
              "[Couleurs]\r\nFond=00123456\r\nAXE 0=000000AA\r\n[Points]\r\nForme 10=1\r\n");
}

TEST(IniFile, LinesOfOtherKindsSurviveAWriteInPlace) {
    ScratchDir dir;
    const std::string path = dir.File("opts.ini");
    // LF line ends, a comment, blank lines, an unknown section, a line with no
    // equals sign, a key no program knows.
    WriteBytes(path, "; options of the workbench\n"
                     "\n"
                     "[couleurs]\n"
                     "fond=00FFFFFF\n"
                     "perso=abc\n"
                     "\n"
                     "; widths follow\n"
                     "[epaisseurs]\n"
                     "une ligne sans egal\n"
                     "axe=2\n"
                     "[autre]\n"
                     "x=1");
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("couleurs", "fond", "00000000"));
    ASSERT_TRUE(ini.WriteString("couleurs", "axe 1", "000000FF")); // new key: after the last key
    ASSERT_TRUE(ini.WriteString("epaisseurs", "grille", "1"));
    ASSERT_TRUE(ini.WriteString("points", "forme 10", "1")); // new section: at the end

    // Every line keeps its LF end, the new ones take it too.
    EXPECT_EQ(ReadBytes(path), "; options of the workbench\n"
                               "\n"
                               "[couleurs]\n"
                               "fond=00000000\n"
                               "perso=abc\n"
                               "axe 1=000000FF\n"
                               "\n"
                               "; widths follow\n"
                               "[epaisseurs]\n"
                               "une ligne sans egal\n"
                               "axe=2\n"
                               "grille=1\n"
                               "[autre]\n"
                               "x=1\n"
                               "[points]\n"
                               "forme 10=1\n");

    // Writing the same values again leaves every byte as it is.
    const std::string before = ReadBytes(path);
    ASSERT_TRUE(ini.WriteString("couleurs", "fond", "00000000"));
    ASSERT_TRUE(ini.WriteString("points", "forme 10", "1"));
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(IniFile, LineEndsAndSignatureStayAsTheFileHasThem) {
    ScratchDir dir;
    const std::string path = dir.File("opts.ini");
    // A signature, mixed ends, a last line without end.
    WriteBytes(path, "\xEF\xBB\xBF[a]\r\nx=1\ny=2\r\n[b]\nz=3");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("a", "x", "?"), "1");
    ASSERT_TRUE(ini.WriteString("a", "y", "20"));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[a]\r\nx=1\ny=20\r\n[b]\nz=3");
    ASSERT_TRUE(ini.WriteString("b", "w", "4"));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[a]\r\nx=1\ny=20\r\n[b]\nz=3\r\nw=4\r\n");
}

TEST(IniFile, ACarriageReturnAsTheFilesLastByteEndsItsLine) {
    ScratchDir dir;
    const std::string path = dir.File("opts.ini");
    // The section header's line ends with a lone CR: the section is found,
    // and a key written into it reads back once a line follows the header.
    WriteBytes(path, "[x]\ny=1\n[A\r");
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("a", "b", "s"));
    EXPECT_EQ(ReadBytes(path), "[x]\ny=1\n[A\r\nb=s\n");
    EXPECT_EQ(ini.ReadString("a", "b", "?"), "s");
    // Alone in its file, the header's CR stays as it is while it is last.
    const std::string alone = dir.File("alone.ini");
    WriteBytes(alone, "[A]\r");
    IniFile single(alone);
    ASSERT_TRUE(single.WriteString("a", "b", "s"));
    EXPECT_EQ(ReadBytes(alone), "[A]\r\nb=s\r\n");
}

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
    ScratchDir dir;
    IniFile missing(dir.File("absent.ini"));
    EXPECT_EQ(missing.ReadString("couleurs", "fond", "00FFFFFF"), "00FFFFFF");
    EXPECT_EQ(missing.ReadInteger("epaisseurs", "axe", 2), 2);
    EXPECT_FALSE(missing.SectionExists("couleurs"));
    EXPECT_FALSE(missing.ValueExists("couleurs", "fond"));

    const std::string path = dir.File("opts.ini");
    WriteBytes(path, "[couleurs]\r\nfond=\r\nvide=  \r\n[epaisseurs]\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("couleurs", "axe 0", "00000000"), "00000000"); // missing key
    EXPECT_EQ(ini.ReadString("points", "forme 10", "1"), "1");              // missing section
    // A key that stands with an empty value is read as empty, not as the default.
    EXPECT_EQ(ini.ReadString("couleurs", "fond", "00FFFFFF"), "");
    EXPECT_EQ(ini.ReadString("couleurs", "vide", "x"), "");
    EXPECT_TRUE(ini.ValueExists("couleurs", "fond"));
    // A section with no key does not count as existing.
    EXPECT_FALSE(ini.SectionExists("epaisseurs"));
}

TEST(IniFile, IntegersAndBooleansFallBackOnTheirDefaultWhenNotNumbers) {
    struct Case {
        const char* Text;
        int32_t Expected; // with the default 77
    };
    const Case cases[] = {
        {"12", 12},
        {"-7", -7},
        {"+5", 5},
        {"  42  ", 42},
        {"$FF", 255},
        {"0x10", 16},
        {"$FFFFFFFF", -1},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", 77},
        {"99999999999", 77},
        {"", 77},
        {"abc", 77},
        {"12abc", 77},
        {"1.5", 77},
        {"-", 77},
        {"$", 77},
        {"$1FFFFFFFF", 77},
    };
    ScratchDir dir;
    const std::string path = dir.File("numbers.ini");
    std::string text = "[n]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        text += "k" + std::to_string(i) + "=" + cases[i].Text + "\r\n";
    WriteBytes(path, text);
    IniFile ini(path);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ini.ReadInteger("n", "k" + std::to_string(i), 77), cases[i].Expected)
            << "value \"" << cases[i].Text << "\"";

    WriteBytes(path, "[b]\r\nun=1\r\nzero=0\r\nmot=oui\r\ndeux=2\r\n");
    EXPECT_TRUE(ini.ReadBool("b", "un", false));
    EXPECT_FALSE(ini.ReadBool("b", "zero", true));
    EXPECT_TRUE(ini.ReadBool("b", "mot", true)); // not a number: the default
    EXPECT_FALSE(ini.ReadBool("b", "mot", false));
    EXPECT_TRUE(ini.ReadBool("b", "deux", false));
    EXPECT_TRUE(ini.ReadBool("b", "absent", true));
}

TEST(IniFile, TextOnDiskIsWindows1252) {
    ScratchDir dir;
    const std::string path = dir.File("accents.ini");
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("réglages", "clé", "é€ü"));
    EXPECT_EQ(ReadBytes(path), "[r\xE9glages]\r\ncl\xE9=\xE9\x80\xFC\r\n");
    EXPECT_EQ(ini.ReadString("réglages", "clé", "?"), "é€ü");

    // Accented capitals in the file match lower-case names.
    WriteBytes(path, "[R\xC9GLAGES]\r\n\xC9TAT=\x80 \xC0 \xE0\r\n");
    EXPECT_EQ(ini.ReadString("réglages", "état", "?"), "€ À à");
}

TEST(IniFile, QuotesAroundAValueAreDropped) {
    ScratchDir dir;
    const std::string path = dir.File("q.ini");
    WriteBytes(path, "[s]\r\na=\"  texte  \"\r\nb='x'\r\nc=\"\r\nd=\"a\" b\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("s", "a", "?"), "  texte  ");
    EXPECT_EQ(ini.ReadString("s", "b", "?"), "x");
    EXPECT_EQ(ini.ReadString("s", "c", "?"), "\"");
    EXPECT_EQ(ini.ReadString("s", "d", "?"), "\"a\" b");
}

TEST(IniFile, WritesThatCannotBeDoneReportFailureAndChangeNothing) {
    ScratchDir dir;
    // The path is a folder (tests run as root, so a read-only file would still
    // be writable), or lies in a folder that does not exist.
    IniFile folder(dir.Path);
    EXPECT_FALSE(folder.WriteString("couleurs", "fond", "00FFFFFF"));
    EXPECT_EQ(folder.ReadString("couleurs", "fond", "def"), "def");
    IniFile nowhere(dir.File("absent/opts.ini"));
    EXPECT_FALSE(nowhere.WriteInteger("epaisseurs", "axe", 2));

    const std::string path = dir.File("opts.ini");
    WriteBytes(path, "[s]\r\nk=v\r\n");
    IniFile ini(path);
    struct Case {
        const char* Section;
        const char* Key;
        const char* Value;
    };
    const Case refused[] = {
        {"", "k", "v"},    {"s", "", "v"},           {"  ", "k", "v"},       {"a]b", "k", "v"},
        {"s", "a=b", "v"}, {"s", "k", "one\r\ntwo"}, {"s", "k", "one\ntwo"}, {"s\n", "k", "v"},
        {"s", "[k", "v"},  {"s", ";k", "v"},
    };
    for (const Case& c : refused)
        EXPECT_FALSE(ini.WriteString(c.Section, c.Key, c.Value))
            << "[" << c.Section << "] " << c.Key << "=" << c.Value;
    EXPECT_EQ(ReadBytes(path), "[s]\r\nk=v\r\n");
}

TEST(IniFile, SeveralValuesAreWrittenTogetherOrNotAtAll) {
    ScratchDir dir;
    const std::string path = dir.File("opts.ini");
    WriteBytes(path, "; keep\r\n[Couleurs]\r\nFOND=0\r\n");
    IniFile ini(path);
    // The same placing as one write after the other, the section met again
    // after another one included.
    ASSERT_TRUE(ini.WriteStrings({{"couleurs", "fond", "00FFFFFF"},
                                  {"epaisseurs", "axe", "2"},
                                  {"couleurs", "f point 10", "00FFFF80"},
                                  {"points", "forme 10", "1"}}));
    EXPECT_EQ(ReadBytes(path), "; keep\r\n[Couleurs]\r\nFOND=00FFFFFF\r\nf point 10=00FFFF80\r\n"
                               "[epaisseurs]\r\naxe=2\r\n[points]\r\nforme 10=1\r\n");

    // One value that cannot stand on a line: nothing of the others either.
    const std::string before = ReadBytes(path);
    EXPECT_FALSE(ini.WriteStrings({{"couleurs", "fond", "00000000"}, {"points", "a=b", "1"}}));
    EXPECT_EQ(ReadBytes(path), before);
    // A file that cannot be written.
    IniFile folder(dir.Path);
    EXPECT_FALSE(folder.WriteStrings({{"couleurs", "fond", "00000000"}}));
}

TEST(IniFile, EraseSectionRemovesItsLinesOnly) {
    ScratchDir dir;
    const std::string path = dir.File("opts.ini");
    WriteBytes(path, "; top\r\n[a]\r\nx=1\r\n; in a\r\n[B]\r\ny=2\r\n[c]\r\nz=3\r\n[b]\r\nw=4\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.EraseSection("b"));
    EXPECT_EQ(ReadBytes(path), "; top\r\n[a]\r\nx=1\r\n; in a\r\n[c]\r\nz=3\r\n");
    EXPECT_FALSE(ini.SectionExists("b"));
    EXPECT_EQ(ini.ReadString("b", "y", "gone"), "gone");
    EXPECT_TRUE(ini.EraseSection("absent"));
    EXPECT_TRUE(ini.UpdateFile());

    // Erasing in a file that does not exist creates nothing.
    IniFile missing(dir.File("absent.ini"));
    EXPECT_TRUE(missing.EraseSection("a"));
    EXPECT_EQ(access(missing.FileName().c_str(), F_OK), -1);
}

} // namespace
