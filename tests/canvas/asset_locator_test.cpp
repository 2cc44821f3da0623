// Tests of the data file search: working directory first, then beside the executable, then installed.
#include "canvas/asset_locator.h"

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
    struct Case {
        bool inWorking, besideExecutable, installed;
        const char* expected; // folder of the result, or nullptr for the name unchanged
    };
    const Case cases[] = {
        {true, true, true, "work"},     {true, false, false, "work"}, {false, true, true, "exe"},
        {false, true, false, "exe"},    {false, false, true, "inst"}, {true, false, true, "work"},
        {false, false, false, nullptr},
    };
    for (const char* name : {"data.tga", "icons/rotate.jpg"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << name << " " << c.inWorking << c.besideExecutable << c.installed);
            QTemporaryDir dir(root.filePath("case-XXXXXX"));
            ASSERT_TRUE(dir.isValid());
            const QString file = QString::fromUtf8(name);
            if (c.inWorking)
                touch(dir.filePath("work/" + file));
            if (c.besideExecutable)
                touch(dir.filePath("exe/" + file));
            if (c.installed)
                touch(dir.filePath("inst/" + file));
            AssetLocator locator;
            locator.workingDir = dir.filePath("work").toStdString();
            locator.executableDataDir = dir.filePath("exe").toStdString();
            locator.installDataDir = dir.filePath("inst").toStdString();
            const std::string expected =
                c.expected ? dir.filePath(QString(c.expected) + "/" + file).toStdString() : std::string(name);
            EXPECT_EQ(locator.locate(name), expected);
        }
    }
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
