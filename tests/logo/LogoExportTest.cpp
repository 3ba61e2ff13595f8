#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "logo/LogoExport.h"
#include "logo/LogoPicture.h"
#include "support/ScratchMount.h"

namespace {

// Black, white and a colour, so a lossy or palette-reducing save would show.
QImage samplePicture()
{
    QImage picture = logoBlankPicture();
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(83, 47, qRgb(0, 0, 0));
    picture.setPixel(40, 20, qRgb(200, 30, 90));
    return picture;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(LogoExport, FormatFollowsTheExtensionAndReadsBackEqual)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage picture = samplePicture();
    const std::pair<const char*, QByteArray> cases[] = {
        {"logo.png", QByteArray("\x89PNG", 4)},
        {"LOGO.PNG", QByteArray("\x89PNG", 4)},
        {"logo.bmp", QByteArray("BM")},
        {"logo", QByteArray("BM")}, // no extension: a bitmap, as before
    };
    for (const auto& [name, signature] : cases) {
        const QString path = dir.filePath(name);
        exportLogoPicture(picture, path);
        EXPECT_TRUE(fileBytes(path).startsWith(signature)) << name;
        const QImage back(path); // the reader goes by the contents, not the name
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture) << name;
    }
}

TEST(LogoExport, FailedWriteKeepsTheEarlierFileAndSaysWhy)
{
    ScratchMount disk;
    SKIP_WITHOUT_SCRATCH_MOUNT(disk);
    const QString path = disk.FilePath(QStringLiteral("Logo.png"));
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier contents");
    earlier.close();
    disk.MakeReadOnly();
    try {
        exportLogoPicture(samplePicture(), path);
        FAIL() << "a save to a read-only disk reported success";
    } catch (const PictureError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Cannot save \"%1\": the file system is read-only. "
                                 "The earlier file is unchanged.")
                      .arg(path));
    }
    EXPECT_EQ(fileBytes(path), QByteArray("earlier contents"));
}
