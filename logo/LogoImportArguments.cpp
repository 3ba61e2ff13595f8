#include "logo/LogoImportArguments.h"

namespace {

int parseNumber(const QString& name, const QString& value, int low, int high)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high)
        throw LogoImportOptionError(QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\".")
                                        .arg(name)
                                        .arg(low)
                                        .arg(high)
                                        .arg(value)
                                        .toStdString());
    return number;
}

[[noreturn]] void badChoice(const QString& name, const QString& value, const char* choices)
{
    throw LogoImportOptionError(
        QStringLiteral("%1 takes %2, not \"%3\".").arg(name, QLatin1String(choices), value).toStdString());
}

} // namespace

LogoImportArguments parseLogoImportArguments(const QStringList& arguments)
{
    static const QStringList kValued = {"--mode", "--threshold", "--dither", "--brightness", "--contrast"};
    LogoImportArguments parsed;
    LogoImportOptions& options = parsed.options;
    for (qsizetype at = 0; at < arguments.size(); ++at) {
        const QString& argument = arguments[at];
        const qsizetype equals = argument.indexOf('=');
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (name == QLatin1String("--invert")) {
            if (equals >= 0)
                throw LogoImportOptionError("--invert takes no value.");
            options.invert = true;
            continue;
        }
        if (!kValued.contains(name)) {
            parsed.others << argument;
            continue;
        }
        QString value;
        if (equals >= 0)
            value = argument.mid(equals + 1);
        else if (at + 1 < arguments.size())
            value = arguments[++at];
        else
            throw LogoImportOptionError(QStringLiteral("%1 needs a value.").arg(name).toStdString());
        const QString choice = value.toLower();

        if (name == QLatin1String("--mode")) {
            if (choice == QLatin1String("as-drawn"))
                options.mode = LogoImportMode::AsDrawn;
            else if (choice == QLatin1String("fit"))
                options.mode = LogoImportMode::Fit;
            else if (choice == QLatin1String("fill"))
                options.mode = LogoImportMode::Fill;
            else
                badChoice(name, value, "as-drawn, fit or fill");
        } else if (name == QLatin1String("--threshold")) {
            if (choice == QLatin1String("auto"))
                options.threshold.reset();
            else
                options.threshold = parseNumber(name, value, 0, 255);
        } else if (name == QLatin1String("--dither")) {
            if (choice == QLatin1String("none"))
                options.dither = LogoDither::None;
            else if (choice == QLatin1String("floyd") || choice == QLatin1String("floyd-steinberg"))
                options.dither = LogoDither::FloydSteinberg;
            else if (choice == QLatin1String("bayer4") || choice == QLatin1String("ordered"))
                options.dither = LogoDither::Bayer4;
            else if (choice == QLatin1String("bayer8"))
                options.dither = LogoDither::Bayer8;
            else
                badChoice(name, value, "none, floyd, bayer4 or bayer8");
        } else if (name == QLatin1String("--brightness")) {
            options.brightness = parseNumber(name, value, -100, 100);
        } else {
            options.contrast = parseNumber(name, value, -100, 100);
        }
    }
    return parsed;
}

QString logoImportUsage()
{
    return QStringLiteral(
        "  --mode as-drawn|fit|fill       how the picture meets the 84 x 48 screen (default as-drawn)\n"
        "  --threshold auto|0..255        grey below which a dot is set, with bayer dithering\n"
        "                                 the grey that becomes half dots (default auto)\n"
        "  --dither none|floyd|bayer4|bayer8\n"
        "  --invert                       swap set and clear dots\n"
        "  --brightness -100..100\n"
        "  --contrast -100..100\n");
}
