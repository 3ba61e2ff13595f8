// Where Operators.ini lives: beside a portable program, in the user's
// configuration folder for an installed one.
#include "sms/OperatorsFileLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include "support/AsNobody.h"
#endif

namespace {

class OperatorsFileLocationTest : public ::testing::Test {
protected:
    OperatorsFileLocationTest()
    {
        QDir(root.path()).mkpath("bin");
        places = {root.filePath("bin"), root.filePath("home/.config/m2bus-tool"),
                  root.filePath("share/m2bus-tool/Operators.ini")};
    }

    static void Put(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray Get(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString Beside() const { return root.filePath("bin/Operators.ini"); }
    QString Own() const { return root.filePath("home/.config/m2bus-tool/Operators.ini"); }

    QTemporaryDir root;
    OperatorsFilePlaces places;
};

} // namespace

TEST_F(OperatorsFileLocationTest, APortableProgramKeepsItsProfilesBesideIt)
{
    EXPECT_EQ(operatorsFileFor(places), Beside()) << "a writable folder without a packaged copy";
    Put(Beside(), "[Mine]\r\n");
    Put(places.seedFile, "; packaged\r\n");
    EXPECT_EQ(operatorsFileFor(places), Beside()) << "a writable file beside the program wins";
    EXPECT_FALSE(QFileInfo::exists(places.configFolder));
}

TEST_F(OperatorsFileLocationTest, AnInstalledProgramSeedsTheUsersCopyOnceAndThenKeepsIt)
{
    Put(places.seedFile, "; packaged\r\n");
    QFile(places.seedFile).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
    EXPECT_EQ(operatorsFileFor(places), Own());
    EXPECT_EQ(Get(Own()), "; packaged\r\n");
    EXPECT_TRUE(QFileInfo(Own()).permissions() & QFileDevice::WriteOwner) << "the user's copy takes edits";
    EXPECT_FALSE(QFileInfo::exists(Beside()));

    Put(Own(), "[Mine]\r\n");
    EXPECT_EQ(operatorsFileFor(places), Own());
    EXPECT_EQ(Get(Own()), "[Mine]\r\n") << "the user's profiles are never overwritten by the packaged copy";
}

#ifndef _WIN32
TEST_F(OperatorsFileLocationTest, AReadOnlyProgramFolderSendsTheProfilesToTheUsersFolder)
{
    Put(Beside(), "[Site]\r\n");
    // nobody keeps root's group: it has to reach the folders inside the temporary one that way.
    const auto read = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const auto enter = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    const auto write = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    QFile(Beside()).setPermissions(read);
    QFile(places.programFolder).setPermissions(read | enter);
    QFile(root.path()).setPermissions(read | enter | write);
    QString chosen;
    {
        AsNobody nobody;
        chosen = operatorsFileFor(places);
    }
    EXPECT_EQ(chosen, Own());
    EXPECT_EQ(Get(Own()), "[Site]\r\n") << "without a packaged copy, the read-only one beside the program seeds it";
    EXPECT_EQ(Get(Beside()), "[Site]\r\n");
}
#endif

TEST(OperatorsFilePlaces, ThePackagedCopyIsFoundFromTheProgramsFolder)
{
    const OperatorsFilePlaces places = operatorsFilePlaces();
    EXPECT_EQ(places.seedFile,
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/m2bus-tool/Operators.ini"));
    EXPECT_TRUE(places.configFolder.endsWith("/m2bus-tool")) << places.configFolder.toStdString();
}
