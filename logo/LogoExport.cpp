#include "logo/LogoExport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>

#include "files/SafeFile.h"
#include "logo/LogoPicture.h"

QByteArray logoPictureFormat(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0 ? "png" : "bmp";
}

void exportLogoPicture(const QImage& picture, const QString& fileName)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, logoPictureFormat(fileName));
    if (!writer.write(picture))
        throw PictureError(QCoreApplication::translate("Logo", "Cannot save \"%1\": %2.").arg(fileName, writer.errorString()));
    const bool existed = QFileInfo::exists(fileName);
    const FileOutcome outcome = replaceFile(fileName, bytes);
    if (!outcome.ok())
        throw PictureError(QCoreApplication::translate("Logo", "Cannot save \"%1\": %2.%3")
                               .arg(fileName, outcome.reason,
                                    existed ? QCoreApplication::translate("Logo", " The earlier file is unchanged.") : QString()));
}

QString logoSavePictureFilter()
{
    return QCoreApplication::translate("Logo", "Windows Bitmap (*.bmp);;PNG picture (*.png);;All files (*)");
}
