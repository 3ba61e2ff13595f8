#include "widgets/DesignFonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

QString firstAvailable(const QStringList& candidates)
{
    const QStringList families = QFontDatabase::families();
    for (const QString& c : candidates) {
        if (families.contains(c, Qt::CaseInsensitive))
            return c;
    }
    return QString();
}

void substitute(const QString& family, const QStringList& candidates)
{
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return;
    const QString stand = firstAvailable(candidates);
    if (!stand.isEmpty())
        QFont::insertSubstitution(family, stand);
}

} // namespace

void installFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList sans{"Liberation Sans", "Arimo", "DejaVu Sans"};
    const QStringList mono{"Liberation Mono", "Cousine", "DejaVu Sans Mono"};
    substitute("MS Sans Serif", sans);
    substitute("Arial", sans);
    substitute("Courier", mono);
    substitute("Courier New", mono);
}

QFont designFont(const QString& family, int pixelHeight, bool bold, bool italic)
{
    installFontSubstitutes();
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
