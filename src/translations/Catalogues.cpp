#include "Catalogues.h"

#include "core/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace {

const QTranslator* installedCatalogue = nullptr;

// The core's lookup: through the application, which is safe from any thread,
// or, in a command without one, straight from the catalogue.
std::string LookUp(const char* context, const char* source, const char* disambiguation, int count) {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::translate(context, source, disambiguation, count).toStdString();
    }
    if (installedCatalogue == nullptr) {
        return {};
    }
    return installedCatalogue->translate(context, source, disambiguation, count).toStdString();
}

std::unique_ptr<QTranslator> Loaded(const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder)) {
        return nullptr;
    }
    return translator;
}

}  // namespace

Catalogues::Catalogues(std::optional<UiLanguage> language) {
    if (!language) {
        return;
    }
    const QString code = QString::fromStdString(LanguageCode(*language));
    if (*language != UiLanguage::Russian) {
        own_ = Loaded(QStringLiteral("vimo_") + code, QStringLiteral(":/i18n"));
    }
    // Without Debian's qt6-translations-l10n, Qt's own buttons stay English.
    qt_ = Loaded(QStringLiteral("qtbase_") + code,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

Catalogues::~Catalogues() {
    if (installed_ && own_) {
        InstallTextLookup(nullptr);
        installedCatalogue = nullptr;
    }
    if (installed_ && QCoreApplication::instance() != nullptr) {
        for (QTranslator* translator : {qt_.get(), own_.get()}) {
            if (translator != nullptr) {
                QCoreApplication::removeTranslator(translator);
            }
        }
    }
}

void Catalogues::Install() {
    installed_ = true;
    if (QCoreApplication::instance() != nullptr) {
        for (QTranslator* translator : {qt_.get(), own_.get()}) {
            if (translator != nullptr) {
                QCoreApplication::installTranslator(translator);
            }
        }
    }
    if (own_) {
        installedCatalogue = own_.get();
        InstallTextLookup(LookUp);
    }
}

bool Catalogues::HasOwnCatalogue() const {
    return own_ != nullptr;
}
