#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator>& ProgramTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator>& QtTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

bool installTranslations()
{
    removeTranslations();
    const QLocale locale;
    auto program = std::make_unique<QTranslator>();
    const bool found = program->load(locale, QStringLiteral("m2bus"), QStringLiteral("_"), QStringLiteral(":/i18n"));
    if (found) {
        QCoreApplication::installTranslator(program.get());
        ProgramTranslator() = std::move(program);
    }
    // Qt's own buttons and file dialogs (Yes, No, Cancel, "Look in:"): the
    // copy built into the program, else the one installed with Qt.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QStringLiteral(":/i18n"))
        || qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        QtTranslator() = std::move(qt);
    }
    return found;
}

void removeTranslations()
{
    for (auto* translator : {&ProgramTranslator(), &QtTranslator()}) {
        if (*translator) {
            QCoreApplication::removeTranslator(translator->get());
            translator->reset();
        }
    }
}
