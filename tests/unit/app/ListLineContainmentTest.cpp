#include "ListLineContainment.h"

#include <gtest/gtest.h>

namespace {

struct LineCase {
  const char* pszLine;
  bool bInside;
};

const LineCase kLineCases[] = {
    {"A.DAT", true},
    {"SUB\\FILE.DAT", true},
    {"SUB/FILE.DAT", true},
    {"SUB\\..\\FILE", true},
    {".\\A.DAT", true},
    {"SUB\\\\A.DAT", true},
    {"A.DAT.", true},
    {"...A", true},
    {"CONSOLE.DAT", true},
    {"COM10", true},
    {"SUB\\X\\..", true},
    // Beside or above the folder.
    {"..\\readme.txt", false},
    {"../readme.txt", false},
    {"SUB\\..\\..\\x.dll", false},
    {"SUB/../../x.dll", false},
    // Out and back in by the folder's own name: refused, the line cannot know that name.
    {"..\\KV2\\A.DAT", false},
    // Rooted, UNC, device and drive forms.
    {"\\x", false},
    {"/x", false},
    {"\\\\server\\share\\x", false},
    {"\\\\?\\C:\\x", false},
    {"C:\\x", false},
    {"C:x", false},
    {"C:..\\x", false},
    {"A.DAT:stream", false},
    // What the platform trims into another name.
    {"...\\x", false},
    {".. \\x", false},
    {" ..\\x", false},
    {"SUB\\. .\\x", false},
    // The folder itself.
    {"", false},
    {".", false},
    {"SUB\\..", false},
    // Devices, whatever the folder.
    {"NUL", false},
    {"con.txt", false},
    {"SUB\\COM1", false},
    {"lpt9.dat", false},
    {"AUX .x", false},
    {"CONOUT$", false},
};

TEST(ListLineContainment, KeepsEveryCopyInsideTheFolder) {
  for (const LineCase& c : kLineCases) EXPECT_EQ(StaysInFolder(c.pszLine), c.bInside ? TRUE : FALSE) << c.pszLine;
}

// In code page 932 the second byte of a character may be 0x5C, which is no separator there.
TEST(ListLineContainment, WalksTheLineInItsCodePage) {
  EXPECT_TRUE(StaysInFolder("A\x81\x5C..", 932));
  EXPECT_FALSE(StaysInFolder("A\x81\x5C..", 1252));
}

// The platform reserves COM and LPT with a superscript 1, 2 or 3 too, spelt as the code page spells it.
TEST(ListLineContainment, RefusesTheSuperscriptDeviceNames) {
  EXPECT_FALSE(StaysInFolder("COM\xB9", 1252));
  EXPECT_FALSE(StaysInFolder("lpt\xB3.txt", 1252));
  EXPECT_FALSE(StaysInFolder("LPT\xA9\xF7.dat", 949));
  EXPECT_TRUE(StaysInFolder("COM\xA9\xF6", 1252));
  EXPECT_TRUE(StaysInFolder("COM\xB9\xB9", 1252));
}

}  // namespace
