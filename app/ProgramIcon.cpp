#include "app/ProgramIcon.h"

QIcon programIcon()
{
    // The pictures are linked in with the app library; its resources need this once.
    Q_INIT_RESOURCE(app);
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/app/icons/m2bus-tool-%1.png").arg(size), QSize(size, size));
    return icon;
}
