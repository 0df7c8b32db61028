#include "host/preferences.h"

#include <gtest/gtest.h>

namespace {

const std::string kBom = "\xEF\xBB\xBF";

OptionContainer& AddContainer(PluginTable& table, const std::string& name) {
  if (table.entries.empty()) table.Add(nullptr, nullptr);
  OptionContainer& container = table.entries.back().containers.emplace_back();
  container.name = name;
  return container;
}

TEST(PreferencesWriter, FirstRunLayoutByteForByte) {
  PluginTable table;
  OptionContainer& strings = AddContainer(table, "StringHelpers");
  strings.controls["UseCtrlEnter"] = 0;
  strings.controls["Colon:0"] = 0;
  strings.controls["Colon:1"] = 0;
  strings.controls["Colon:2"] = 0;
  strings.controls["ColorString:Color"] = 0;
  strings.controls["ColorString:Picker"] = 0;
  strings.controls["gadgetWithoutName3"] = 0;
  strings.values["UseCtrlEnter"] = 1;
  strings.values["Colon"] = 2;
  strings.values["ColorString"] = 65535;
  OptionContainer& beautifier = AddContainer(table, "CodeBeautifier");
  beautifier.enabled = 0;
  beautifier.controls["Comma"] = 0;  // no value yet: written as 0
  AddContainer(table, "Empty");      // no key: no group of its own

  EXPECT_EQ(PreferencesBytes(table), kBom +
                                         "\r\n"
                                         "[InstalledPlugins]\r\n"
                                         "StringHelpers = 1\r\n"
                                         "CodeBeautifier = 0\r\n"
                                         "Empty = 1\r\n"
                                         "\r\n"
                                         "[StringHelpers]\r\n"
                                         "UseCtrlEnter = 1\r\n"
                                         "Colon = 2\r\n"
                                         "ColorString = 65535\r\n"
                                         "\r\n"
                                         "[CodeBeautifier]\r\n"
                                         "Comma = 0\r\n");
}

TEST(PreferencesWriter, RewritesAKeyInPlaceAndAppendsNewOnes) {
  PreferencesWriter writer;
  writer.Write("A", "x", 1);
  writer.Write("B", "y", 2);
  writer.Write("a", "X", -7);  // same group and key, other case
  writer.Write("A", "z", 3);
  EXPECT_EQ(writer.Bytes(), kBom + "\r\n[A]\r\nx = -7\r\nz = 3\r\n\r\n[B]\r\ny = 2\r\n");
}

// A fragment's names are the plugin's: one that would read back as a group header or as another
// key is left out, and every other value reads back where it was written.
TEST(PreferencesWriter, NamesThatWouldReadBackAsOthersAreLeftOut) {
  PreferencesWriter writer;
  writer.Write("G", "[x]", 1);
  writer.Write("G", "a=b", 2);
  writer.Write("G", "A", 3);
  writer.Write("x]y", "B", 4);
  writer.Write("H", "C", 5);
  const PreferencesDocument document = ParsePreferences(writer.Bytes());
  EXPECT_EQ(ReadPreference(document, "G", "A", 0), 3);
  EXPECT_EQ(ReadPreference(document, "H", "C", 0), 5);
  EXPECT_EQ(ReadPreference(document, "x", "B", -1), -1);
  EXPECT_EQ(document.groups.size(), 2u);
}

TEST(PreferencesWriter, EmptyTableGivesMarkAndEmptyLine) {
  EXPECT_EQ(PreferencesBytes(PluginTable{}), kBom + "\r\n");
}

// A text as a Windows editor saves it when asked for "Unicode": mark FF FE (or FE FF), UTF-16.
std::string Utf16File(const std::u16string& text, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    const char low = char(unit & 0xFF), high = char(unit >> 8);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

struct ReadCase {
  const char* label;
  std::string bytes;
  const char* group;
  const char* key;
  std::int64_t fallback;
  std::int64_t expected;
};

class PreferenceReading : public testing::TestWithParam<ReadCase> {};

TEST_P(PreferenceReading, ReadsTheValueOrTheFallback) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ReadPreference(ParsePreferences(c.bytes), c.group, c.key, c.fallback), c.expected)
      << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreferenceReading,
    testing::Values(
        ReadCase{"plain", kBom + "\r\n[G]\r\nK = 5\r\n", "G", "K", 9, 5},
        ReadCase{"case of group and key", kBom + "[group]\r\nkEY=5\r\n", "GROUP", "Key", 9, 5},
        ReadCase{"missing group", "[G]\nK=5\n", "H", "K", 9, 9},
        ReadCase{"missing key", "[G]\nK=5\n", "G", "L", 9, 9},
        ReadCase{"letters read as 0", "[G]\nK = abc\n", "G", "K", 9, 0},
        ReadCase{"empty value reads 0", "[G]\nK =\n", "G", "K", 9, 0},
        ReadCase{"negative", "[G]\nK = -12x\n", "G", "K", 9, -12},
        ReadCase{"beyond 64 bits saturates", "[G]\nK = 99999999999999999999999\n", "G", "K", 9,
                 INT64_MAX},
        ReadCase{"below 64 bits saturates", "[G]\nK = -99999999999999999999999\n", "G", "K", 9,
                 INT64_MIN},
        ReadCase{"leading blanks and tabs", "  \t[G]\n \t K\t=\t 7\n", "G", "K", 9, 7},
        ReadCase{"comment line skipped", "[G]\n;K = 1\nK = 2\n", "G", "K", 9, 2},
        ReadCase{"line without = is no key", "[G]\nK\nK = 3\n", "G", "K", 9, 3},
        ReadCase{"first duplicate key wins", "[G]\nK = 1\nK = 2\n", "G", "K", 9, 1},
        ReadCase{"first duplicate group wins", "[G]\nK = 1\n[G]\nK = 2\nL = 4\n", "G", "L", 9, 9},
        ReadCase{"keys before a group are not in it", "K = 1\n[G]\n", "G", "K", 9, 9},
        ReadCase{"LF only", "[G]\nK = 4", "G", "K", 9, 4},
        ReadCase{"binary garbage", std::string("\0\xFF\x01[\x80=\n\0=", 10), "G", "K", 9, 9},
        ReadCase{"empty file", "", "G", "K", 9, 9},
        // Without a byte-order mark the file is ISO-8859-1: byte E9 is "é".
        ReadCase{"ISO-8859-1 group", "[Caf\xE9]\nK = 6\n", "Caf\xC3\xA9", "K", 9, 6},
        ReadCase{"UTF-8 group with mark", kBom + "[Caf\xC3\xA9]\nK = 6\n", "Caf\xC3\xA9", "K", 9,
                 6},
        ReadCase{"UTF-16 little-endian", Utf16File(u"\r\n[Caf\u00E9]\r\nK = 6\r\n", true),
                 "Caf\xC3\xA9", "K", 9, 6},
        ReadCase{"UTF-16 big-endian", Utf16File(u"[G]\r\nK = 7\r\n", false), "G", "K", 9, 7}));

TEST(PreferenceReading, HundredMegabyteLineDoesNotHideLaterKeys) {
  std::string bytes = "[G]\nJunk = " + std::string(100 * 1024 * 1024, '7') + "\nK = 3\n";
  PreferencesDocument document = ParsePreferences(bytes);
  EXPECT_EQ(ReadPreference(document, "G", "K", 0), 3);
  EXPECT_EQ(ReadPreference(document, "G", "Junk", 0), INT64_MAX);
}

// Beside the executable, never the executable itself: the ending in any case, only the ending.
TEST(PreferencesPath, ReplacesTheExeEndingOrAddsOne) {
  EXPECT_EQ(PreferencesPath("C:\\tools\\toolhost.exe"), "C:\\tools\\toolhost.ini");
  EXPECT_EQ(PreferencesPath("C:\\a.exe.d\\toolhost.exe"), "C:\\a.exe.d\\toolhost.ini");
  EXPECT_EQ(PreferencesPath("C:\\tools\\TOOLHOST.EXE"), "C:\\tools\\TOOLHOST.ini");
  EXPECT_EQ(PreferencesPath("C:\\tools\\toolhost.Exe"), "C:\\tools\\toolhost.ini");
  EXPECT_EQ(PreferencesPath("/usr/bin/toolhost"), "/usr/bin/toolhost.ini");
}

// A key of a loaded container's group that no control writes (another version of the plugin
// has that setting) keeps its value.
TEST(PreferencesRoundTrip, KeysThatNoControlWritesAreKept) {
  PluginTable table;
  OptionContainer& container = AddContainer(table, "Group");
  container.controls["A"] = 0;
  container.values["A"] = 3;
  const PreferencesDocument kept =
      ParsePreferences("\xEF\xBB\xBF[group]\r\nOld = 7\r\nA = 1\r\n[Group]\r\nHidden = 1\r\n");
  PreferencesDocument document = ParsePreferences(PreferencesBytes(table, kept));
  EXPECT_EQ(ReadPreference(document, "Group", "A", 0), 3);
  EXPECT_EQ(ReadPreference(document, "Group", "Old", 0), 7);
  EXPECT_EQ(ReadPreference(document, "Group", "Hidden", 0), 0);  // never readable, not made so
}

TEST(PreferencesRoundTrip, WrittenBytesReadBackToTheSameState) {
  PluginTable table;
  OptionContainer& container = AddContainer(table, "Group");
  container.enabled = 0;
  container.controls["A"] = 0;
  container.controls["B:1"] = 0;
  container.values["A"] = -42;
  container.values["B"] = 1;
  PreferencesDocument document = ParsePreferences(PreferencesBytes(table));
  EXPECT_EQ(ReadPreference(document, "InstalledPlugins", "Group", 1), 0);
  EXPECT_EQ(ReadPreference(document, "Group", "A", 0), -42);
  EXPECT_EQ(ReadPreference(document, "Group", "B", 0), 1);
}

}  // namespace
