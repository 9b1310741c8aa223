#include "store/paths.h"

#include "files/folders.h"
#include "support/sistema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace store;

namespace {

struct DriveC : ::testing::Test {
    fs::path root = fs::temp_directory_path() / ("paths_test." + std::to_string(prueba::IdProceso()));
    void SetUp() override
    {
        fs::create_directories(root / "ztemp");
        std::ofstream(root / "ztemp" / "Proft.mdx") << "x";
        setDriveC(root.string());
    }
    void TearDown() override
    {
        setDriveC("");
        fs::remove_all(root);
    }
};

}  // namespace

TEST_F(DriveC, BothWorkFolderFormsNameTheSameFolder)
{
    const std::string expected = files::joinPath(root.string(), "ztemp");
    EXPECT_EQ(resolveFolder("\\ZTEMP"), expected);
    EXPECT_EQ(resolveFolder("\\ZTEMP\\"), expected);
    EXPECT_EQ(resolveFolder("C:\\ZTEMP"), expected);
    EXPECT_EQ(resolveFolder("c:\\ztemp\\"), expected);
    EXPECT_EQ(resolveFolder("/tmp/x/"), "/tmp/x");
}

TEST_F(DriveC, MissingFolderKeepsItsSpelling)
{
    EXPECT_EQ(resolveFolder("\\OTRA"), files::joinPath(root.string(), "OTRA"));
    EXPECT_FALSE(files::folderExists(resolveFolder("\\OTRA")));
    EXPECT_TRUE(files::folderExists(resolveFolder("\\ZTEMP")));
}

TEST_F(DriveC, FileNamesFoundWithoutRegardToCase)
{
    const std::string folder = resolveFolder("\\ZTEMP");
    EXPECT_EQ(files::pathInFolder(folder, "PROFT.MDX"), files::joinPath(folder, "Proft.mdx"));
    EXPECT_EQ(files::pathInFolder(folder, "GRUPOST.DBF"), files::joinPath(folder, "GRUPOST.DBF"));
    EXPECT_TRUE(files::fileExists(folder + "/PROFT.MDX"));
    EXPECT_FALSE(files::fileExists(folder + "/PROFT.DBF"));
    EXPECT_FALSE(files::fileExists(folder));
}

TEST(DriveCChoice, OptionBeforeEnvironmentBeforeRoot)
{
    setDriveC("");
    prueba::PonVariable("TRANSORBELIN_UNIDAD_C", "");
    // With drive letters, none given is the real drive C; without them, the root.
    EXPECT_EQ(driveC(), files::hasDriveLetters() ? "" : "/");
    prueba::PonVariable("TRANSORBELIN_UNIDAD_C", "/srv/c/");
    EXPECT_EQ(driveC(), "/srv/c");
    setDriveC("/opt/c");
    EXPECT_EQ(driveC(), "/opt/c");
    setDriveC("");
    prueba::PonVariable("TRANSORBELIN_UNIDAD_C", "");
}
