// Tests of the data file search: working directory first, then beside the executable, then installed.
#include "canvas/asset_locator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// Makes the current directory `dir` for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString& dir) : previous_(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};
} // namespace

TEST(AssetLocator, TakesTheFirstFolderThatHoldsTheFile) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // Working directory, the build tree's data beside the executable, the install found from the
    // executable (a package unpacked anywhere), the install of the built-for prefix.
    const char* const folders[] = {"work", "exe", "share", "inst"};
    struct Case {
        bool present[4];
        const char* expected; // folder of the result, or nullptr for the name unchanged
    };
    const Case cases[] = {
        {{true, true, true, true}, "work"},    {{true, false, false, false}, "work"},
        {{false, true, true, true}, "exe"},    {{false, true, false, false}, "exe"},
        {{false, false, true, true}, "share"}, {{false, false, true, false}, "share"},
        {{false, false, false, true}, "inst"}, {{true, false, true, false}, "work"},
        {{false, true, false, true}, "exe"},   {{false, false, false, false}, nullptr},
    };
    for (const char* name : {"data.tga", "icons/rotate.jpg"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << name << " " << c.present[0] << c.present[1] << c.present[2] << c.present[3]);
            QTemporaryDir dir(root.filePath("case-XXXXXX"));
            ASSERT_TRUE(dir.isValid());
            const QString file = QString::fromUtf8(name);
            for (int i = 0; i < 4; ++i)
                if (c.present[i])
                    touch(dir.filePath(QString(folders[i]) + "/" + file));
            AssetLocator locator;
            locator.workingDir = dir.filePath("work").toStdString();
            locator.executableDataDir = dir.filePath("exe").toStdString();
            locator.executableShareDir = dir.filePath("share").toStdString();
            locator.installDataDir = dir.filePath("inst").toStdString();
            const std::string expected =
                c.expected ? dir.filePath(QString(c.expected) + "/" + file).toStdString() : std::string(name);
            EXPECT_EQ(locator.locate(name), expected);
        }
    }
}

// An installed program unpacked under another root (dpkg -x) has no data at the built-for prefix:
// it must look in share/knotwork beside its own bin folder.
TEST(AssetLocator, LooksInTheShareFolderBesideTheExecutablesFolder) {
    if (QCoreApplication::instance() == nullptr)
        GTEST_SKIP() << "needs the application object";
    const QDir executable(QCoreApplication::applicationDirPath());
    const AssetLocator locator;
    EXPECT_EQ(locator.executableShareDir,
              QDir::cleanPath(executable.filePath("../share/knotwork")).toStdString());
    EXPECT_EQ(locator.executableDataDir, executable.filePath("data").toStdString());
}

TEST(AssetLocator, KeepsARelativeNameFoundInTheCurrentDirectory) {
    QTemporaryDir work, exe;
    ASSERT_TRUE(work.isValid() && exe.isValid());
    touch(exe.filePath("data.tga"));
    AssetLocator locator;
    locator.executableDataDir = exe.path().toStdString();
    locator.installDataDir.clear();
    WorkingDirectory cd(work.path());
    EXPECT_EQ(locator.locate("data.tga"), exe.filePath("data.tga").toStdString());
    touch(work.filePath("data.tga"));
    EXPECT_EQ(locator.locate("data.tga"), "data.tga");
}

TEST(AssetLocator, IgnoresFoldersAndLeavesAbsoluteNamesAlone) {
    QTemporaryDir work, exe;
    ASSERT_TRUE(work.isValid() && exe.isValid());
    QDir(work.path()).mkpath("data.tga"); // a folder of that name is no data file
    touch(exe.filePath("data.tga"));
    AssetLocator locator;
    locator.workingDir = work.path().toStdString();
    locator.executableDataDir = exe.path().toStdString();
    EXPECT_EQ(locator.locate("data.tga"), exe.filePath("data.tga").toStdString());
    const std::string absolute = work.filePath("elsewhere.tga").toStdString();
    EXPECT_EQ(locator.locate(absolute), absolute);
}
